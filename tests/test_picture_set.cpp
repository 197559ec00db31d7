// The picture set on real files, the real settings file and real message
// boxes: names, variants, the directory prefix, failures that change
// nothing, the palette decision and pictures the lens cannot draw on.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include "app/globals.h"
#include "app/handoff.h"
#include "app/picture_set.h"
#include "app/startup.h"
#include "support/desktop.h"
#include "support/picture_files.h"
#include "support/pixels.h"

namespace {

const char kCaption[] = "TalvixLens error";

void ResetPictureState()
{
    FreePictures();
    CurrentImage = 0;
    RowStride = 0;
    RootDir[0] = 0;
    PrevLensX = PrevLensY = -1;
    for (char *&slot : ImageSlot)
        slot = nullptr;   // the heap copies live as long as the process
}

class PictureSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPictureState();
        RemoveSettings();
        WritePictureSet("");
        WriteInterfacePictures();
    }
    void TearDown() override
    {
        ResetPictureState();
        RemoveSettings();
    }
    // Reads the names as start-up does.
    void ReadNames(const std::string &settings = "")
    {
        if (!settings.empty())
            WriteSettings(settings);
        ReadImageNames();
    }
    std::string Name(int fullSize, int index)
    {
        char name[256];
        PictureName(name, fullSize, index);
        return name;
    }
};

TEST_F(PictureSetTest, DefaultAndConfiguredNames)
{
    ReadNames();
    for (int i = 0; i < 10; i++) {
        EXPECT_EQ("LIMAGE" + std::to_string(i + 1) + ".BMP", Name(0, i));
        EXPECT_EQ("FIMAGE" + std::to_string(i + 1) + ".BMP", Name(1, i));
    }
    std::string longName(200, 'x');
    ReadNames("[selection]\r\nIMAGE1=ART\\P1.BMP\r\nImage10=last.bmp\r\nImage2=" + longName + "\r\n");
    EXPECT_EQ("ART\\P1.BMP", Name(0, 0));
    EXPECT_EQ("FRT\\P1.BMP", Name(1, 0));   // the first character of the whole entry
    EXPECT_EQ(std::string(127, 'x'), Name(0, 1));
    EXPECT_EQ("LIMAGE3.BMP", Name(0, 2));
    EXPECT_EQ("Fast.bmp", Name(1, 9));
}

TEST_F(PictureSetTest, EverySlotAndVariantBecomesCurrent)
{
    ReadNames();
    for (int fullSize = 0; fullSize < 2; fullSize++) {
        for (int i = 0; i < 10; i++) {
            PrevLensX = 5;
            ASSERT_EQ(1, SelectImage(fullSize, i)) << fullSize << "/" << i;
            EXPECT_EQ(i, CurrentImage);
            EXPECT_EQ(-1, PrevLensX);
            int width = fullSize ? 640 : 486, height = fullSize ? 480 : 372;
            EXPECT_TRUE(HoldsSeededPicture(CurrentDib, width, height, fullSize ? 101 + i : 1 + i));
            EXPECT_EQ((width + 3) & ~3, RowStride);
        }
    }
    // The current index again reloads the file from disk.
    WriteFileBytes("LIMAGE10.BMP", SeededPicture(486, 372, 77).Build());
    ASSERT_EQ(1, SelectImage(0, 9));
    EXPECT_TRUE(HoldsSeededPicture(CurrentDib, 486, 372, 77));
}

TEST_F(PictureSetTest, RootDirIsPutInFrontOfPicturesOnly)
{
    WritePictureSet("PICS\\");
    WriteFileBytes("PICS\\LIMAGE1.BMP", SeededPicture(486, 372, 41).Build());
    WriteFileBytes("PICSLIMAGE1.BMP", SeededPicture(486, 372, 42).Build());
    WriteFileBytes("PICS\\lselect.bmp", SeededPicture(20, 20, 43).Build());
    ReadNames();
    lstrcpyA(RootDir, "PICS\\");
    ASSERT_EQ(1, SelectImage(0, 0));
    EXPECT_TRUE(HoldsSeededPicture(CurrentDib, 486, 372, 41));
    lstrcpyA(RootDir, "PICS");
    ASSERT_EQ(1, SelectImage(0, 0));
    EXPECT_TRUE(HoldsSeededPicture(CurrentDib, 486, 372, 42));

    // A configured name under the prefix, in both forms.
    CreateDirectoryA("PICS\\ART", nullptr);
    CreateDirectoryA("PICS\\FRT", nullptr);
    WriteFileBytes("PICS\\ART\\P1.BMP", SeededPicture(486, 372, 44).Build());
    WriteFileBytes("PICS\\FRT\\P1.BMP", SeededPicture(640, 480, 45).Build());
    ReadNames("[Selection]\r\nImage1=ART\\P1.BMP\r\n");
    lstrcpyA(RootDir, "PICS\\");
    ASSERT_EQ(1, SelectImage(0, 0));
    EXPECT_TRUE(HoldsSeededPicture(CurrentDib, 486, 372, 44));
    ASSERT_EQ(1, SelectImage(1, 0));
    EXPECT_TRUE(HoldsSeededPicture(CurrentDib, 640, 480, 45));
    ReadNames("[Selection]\r\n");

    // The interface pictures come from the current folder all the same.
    WriteSettings("[Lens]\r\nRootdir=PICS\\\r\n");
    ReadRootDir();
    EXPECT_STREQ("PICS\\", RootDir);
    LoadImageSet();
    ASSERT_NE(nullptr, SelectionDib);
    EXPECT_EQ(126, SelectionDib->width);
    EXPECT_TRUE(HoldsSeededPicture(CurrentDib, 486, 372, 41));
}

TEST_F(PictureSetTest, RootDirIsCutAtFortyEightCharacters)
{
    WriteSettings("[Lens]\r\nRootdir=" + std::string(60, 'd') + "\r\n");
    ReadRootDir();
    EXPECT_EQ(std::string(48, 'd'), RootDir);
    RemoveSettings();
    ReadRootDir();
    EXPECT_STREQ("", RootDir);
}

// A failed load shows the box and leaves every piece of state as it was.
TEST_F(PictureSetTest, FailedLoadChangesNothing)
{
    ReadNames();
    ASSERT_EQ(1, SelectImage(0, 2));
    DeleteFileA("FIMAGE3.BMP");
    PrevLensX = 7;
    PrevLensY = 9;
    DibBlock *before = CurrentDib;
    DWORD palette = CurrentDib->hPalette, flags = CurrentDib->flags;
    std::vector<uint8_t> bits(DibBits(CurrentDib), DibBits(CurrentDib) + CurrentDib->info.biSizeImage);
    {
        BoxWatcher watcher(kCaption);
        EXPECT_EQ(0, SelectImage(1, 2));
        ASSERT_TRUE(watcher.WaitFor(1));
        EXPECT_EQ("Loading image FIMAGE3.BMP failed!", watcher.Texts()[0]);
    }
    EXPECT_EQ(2, CurrentImage);
    EXPECT_EQ(before, CurrentDib);
    EXPECT_EQ(488, RowStride);
    EXPECT_EQ(7, PrevLensX);
    EXPECT_EQ(9, PrevLensY);
    EXPECT_EQ(palette, CurrentDib->hPalette);
    EXPECT_EQ(flags, CurrentDib->flags);
    EXPECT_EQ(0, memcmp(bits.data(), DibBits(CurrentDib), bits.size()));
    EXPECT_NE(LoadCursorA(nullptr, IDC_WAIT), GetCursor()) << "the wait cursor is gone";
}

// The palette decision asks the display itself: the rig runs this program
// on a true-colour screen and again on an 8-bit palette screen.
TEST_F(PictureSetTest, PaletteExactlyOnPaletteDisplays)
{
    const char *expect = getenv("ORB_EXPECT_PALETTE");
    HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    bool palette = (GetDeviceCaps(ic, RASTERCAPS) & RC_PALETTE) != 0;
    DeleteDC(ic);
    if (expect) {
        ASSERT_EQ(atoi(expect) != 0, palette) << "the display is not the kind this run is for";
    }
    ReadNames();
    for (int i : {0, 5, 5}) {
        ASSERT_EQ(1, SelectImage(0, i));
        HPALETTE h = DibPalette(CurrentDib);
        if (!palette) {
            EXPECT_EQ(nullptr, h);
            continue;
        }
        ASSERT_NE(nullptr, h);
        PALETTEENTRY e[256];
        ASSERT_EQ(256u, GetPaletteEntries(h, 0, 256, e));
        EXPECT_EQ(CurrentDib->colors[200].rgbRed, e[200].peRed);
        EXPECT_EQ(CurrentDib->colors[200].rgbBlue, e[200].peBlue);
    }
}

TEST_F(PictureSetTest, PicturesTheLensCannotDrawOnAreRefused)
{
    BmpBuilder rgb = SeededPicture(486, 372, 1);
    rgb.bitCount = 24;
    rgb.bits.clear();
    WriteFileBytes("LIMAGE2.BMP", rgb.Build());
    WriteFileBytes("LIMAGE3.BMP", SeededPicture(101, 372, 3).Build());
    WriteFileBytes("LIMAGE4.BMP", SeededPicture(486, 101, 4).Build());
    ReadNames();
    ASSERT_EQ(1, SelectImage(0, 0));
    DibBlock *before = CurrentDib;
    BoxWatcher watcher(kCaption);
    for (int i : {1, 2, 3})
        EXPECT_EQ(0, SelectImage(0, i)) << i;
    ASSERT_TRUE(watcher.WaitFor(3));
    EXPECT_EQ("Loading image LIMAGE2.BMP failed!", watcher.Texts()[0]);
    EXPECT_EQ("Loading image LIMAGE4.BMP failed!", watcher.Texts()[2]);
    EXPECT_EQ(before, CurrentDib);
    EXPECT_EQ(0, CurrentImage);
    // Taller than lens positions reach: refused, not drawn outside the bits.
    BmpBuilder tall = SeededPicture(120, 33000, 6);
    tall.compression = BI_RLE8;
    tall.bits = {0, 1};
    WriteFileBytes("LIMAGE6.BMP", tall.Build());
    EXPECT_EQ(0, SelectImage(0, 5));
    ASSERT_TRUE(watcher.WaitFor(4));
    EXPECT_EQ("Loading image LIMAGE6.BMP failed!", watcher.Texts()[3]);
    // The smallest picture the lens fits in is fine.
    WriteFileBytes("LIMAGE5.BMP", SeededPicture(102, 102, 5).Build());
    EXPECT_EQ(1, SelectImage(0, 4));
}

TEST_F(PictureSetTest, FewerBitsAndRunLengthPicturesAreExpanded)
{
    BmpBuilder four = SeededPicture(486, 372, 1);
    four.bitCount = 4;
    four.bits.clear();
    WriteFileBytes("LIMAGE2.BMP", four.Build());
    BmpBuilder rle = SeededPicture(102, 102, 1);
    rle.compression = BI_RLE8;
    rle.bits.clear();
    for (int y = 0; y < 102; y++) {
        rle.bits.insert(rle.bits.end(), {100, uint8_t(y), 2, uint8_t(255 - y), 0, 0});
    }
    rle.bits.insert(rle.bits.end(), {0, 1});
    WriteFileBytes("LIMAGE3.BMP", rle.Build());
    ReadNames();
    for (int i : {1, 2}) {
        ASSERT_EQ(1, SelectImage(0, i)) << i;
        EXPECT_EQ(8u, CurrentDib->bitCount);
        EXPECT_EQ(0u, CurrentDib->info.biCompression);
        DibError error;
        DibBlock *file = LoadDib(&error, i == 1 ? "LIMAGE2.BMP" : "LIMAGE3.BMP");
        ASSERT_NE(nullptr, file);
        EXPECT_EQ(0, CountDifferences(DrawDib(file, 0), DrawDib(CurrentDib, 0))) << i;
        FreeDib(file);
    }
    const BYTE *bits = DibBits(CurrentDib);
    EXPECT_EQ(7, bits[104 * 7 + 99]);
    EXPECT_EQ(255 - 7, bits[104 * 7 + 100]);
}

TEST_F(PictureSetTest, EmptySelectionEntryFailsInBothForms)
{
    ReadNames("[Selection]\r\nImage2=\r\n");
    EXPECT_EQ("", Name(0, 1));
    EXPECT_EQ("", Name(1, 1));
    ASSERT_EQ(1, SelectImage(0, 0));
    BoxWatcher watcher(kCaption);
    EXPECT_EQ(0, SelectImage(0, 1));
    EXPECT_EQ(0, SelectImage(1, 1));
    ASSERT_TRUE(watcher.WaitFor(2));
    EXPECT_EQ("Loading image  failed!", watcher.Texts()[0]);
    EXPECT_EQ("Loading image  failed!", watcher.Texts()[1]);
    EXPECT_EQ(0, CurrentImage);
}

TEST_F(PictureSetTest, NameWithoutHeapRoomBecomesAnEmptyName)
{
    // A real heap that cannot grow, filled up.
    HANDLE heap = HeapCreate(0, 0x10000, 0x10000);
    ASSERT_NE(nullptr, heap);
    while (HeapAlloc(heap, 0, 64))
        ;
    StoreSlotName(0, "LIMAGE1.BMP", heap);
    ASSERT_NE(nullptr, ImageSlot[0]);
    EXPECT_STREQ("", ImageSlot[0]);
    StoreSlotName(1, "LIMAGE2.BMP", GetProcessHeap());
    EXPECT_STREQ("LIMAGE2.BMP", ImageSlot[1]);
    BoxWatcher watcher(kCaption);
    EXPECT_EQ(0, SelectImage(0, 0));
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(1, SelectImage(0, 1));
    HeapDestroy(heap);
}

TEST_F(PictureSetTest, LoadImageSetStartsOnTheChosenPicture)
{
    DeleteFileA("zoom.bmp");
    WriteSettings("[Menu]\r\nrun=Quolmarex\r\n");
    CurrentImage = 4;
    EXPECT_EQ(0, LoadImageSet());
    EXPECT_EQ(HANDOFF_ARMED, HandoffMarker);
    EXPECT_EQ(4, CurrentImage);
    EXPECT_TRUE(HoldsSeededPicture(CurrentDib, 486, 372, 5));
    ASSERT_NE(nullptr, SelectionDib);
    ASSERT_NE(nullptr, ReturnDib);
    for (int i = 0; i < 3; i++)
        EXPECT_NE(nullptr, ButtonDib[i]) << i;
    EXPECT_EQ(nullptr, ButtonDib[3]) << "a missing interface picture is held as null";
    EXPECT_EQ(33, ButtonDib[2]->width);
}

// A start-up picture that cannot be loaded ends the process, in a child.
class StartupFailure : public ::testing::Test {
protected:
    DWORD RunChild(const char *folder, int picture, std::vector<std::string> *texts, std::vector<std::string> *fatal)
    {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, sizeof exe);
        std::string command = std::string("\"") + exe + "\" --child-load-image-set " + std::to_string(picture);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        std::vector<char> line(command.begin(), command.end());
        line.push_back(0);
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi))
            return 0xFFFFFFFF;
        DWORD code = 0xFFFFFFFE;
        {
            BoxWatcher boxes(kCaption, pi.dwProcessId);
            BoxWatcher fatalBoxes("Error", pi.dwProcessId);
            boxes.WaitFor(1);
            fatalBoxes.WaitFor(1);
            if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0)
                GetExitCodeProcess(pi.hProcess, &code);
            else
                TerminateProcess(pi.hProcess, 1);
            *texts = boxes.Texts();
            *fatal = fatalBoxes.Texts();
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }
};

TEST_F(StartupFailure, MissingStartPictureEndsWithTwoMessages)
{
    CreateDirectoryA("startup", nullptr);
    SetCurrentDirectoryA("startup");
    WritePictureSet("");
    DeleteFileA("LIMAGE4.BMP");
    SetCurrentDirectoryA("..");
    const std::string settings = "[Menu]\r\nrun=Quolmarex\r\n[Lens]\r\n4=next\r\n";
    WriteSettings(settings);
    std::vector<std::string> texts, fatal;
    DWORD code = RunChild("startup", 4, &texts, &fatal);
    EXPECT_NE(0xFFFFFFFFu, code);
    EXPECT_NE(3u, code) << "LoadImageSet returned";
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ("Loading image LIMAGE4.BMP failed!", texts[0]);
    ASSERT_EQ(1u, fatal.size());
    EXPECT_EQ("Cannot load default image", fatal[0]);
    EXPECT_EQ(settings, ReadSettings());
    RemoveSettings();
}

}  // namespace

// The child of StartupFailure: LoadImageSet in its current folder.
int RunChildMode(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--child-load-image-set") == 0) {
        CurrentImage = atoi(argv[2]) - 1;
        LoadImageSet();
        return 3;
    }
    return -1;
}
