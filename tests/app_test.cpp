// The application without its windows: the picture set on real files with
// real message boxes, the hand-off on the real settings file, the command
// line, the placement and the message loop.
#include <gtest/gtest.h>
#include <string.h>

#include "app/globals.h"
#include "app/handoff.h"
#include "app/picture_set.h"
#include "app/startup.h"
#include "support.h"
#include "ui/window_procs.h"

namespace {

// The pointer when a box's first window is made, before the box sets its own.
HCURSOR pointerAtBox;
LRESULT CALLBACK PointerAtBox(int code, WPARAM wParam, LPARAM lParam)
{
    pointerAtBox = pointerAtBox ? pointerAtBox : GetCursor();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class PictureSet : public WithBoxes {
protected:
    void SetUp() override
    {
        WithBoxes::SetUp();
        ReadImageNames();
    }
};

TEST_F(PictureSet, NamesAndFolderFromTheSettingsFile)
{
    WriteSettings("[selection]\r\nIMAGE1=ART\\P1.BMP\r\nImage10=last.bmp\r\nImage2=" + std::string(200, 'x') + "\r\nImage3=\r\n"
                  "[LENS]\r\nRootdir=" + std::string(60, 'd') + "\r\n");
    ReadImageNames();
    ReadRootDir();
    // The first character of the whole entry; an empty name stays empty.
    const struct { int fullSize, index; std::string name; } names[] = {
        {0, 0, "ART\\P1.BMP"}, {1, 0, "FRT\\P1.BMP"}, {0, 1, std::string(127, 'x')}, {0, 2, ""}, {1, 2, ""}, {0, 3, "LIMAGE4.BMP"}, {1, 9, "Fast.bmp"}};
    for (const auto &n : names) {
        char name[256];
        PictureName(name, n.fullSize, n.index);
        EXPECT_EQ(n.name, name) << n.fullSize << "/" << n.index;
    }
    EXPECT_EQ(std::string(48, 'd'), RootDir);
    RemoveSettings();
    ReadRootDir();
    EXPECT_STREQ("", RootDir);
    // No heap room for a copy: an empty name, which fails to load.
    HANDLE heap = HeapCreate(0, 0x10000, 0x10000);
    for (SIZE_T size = 4096; size > 0; size /= 2)
        while (HeapAlloc(heap, 0, size))
            ;
    StoreSlotName(0, "LIMAGE1.BMP", heap);
    EXPECT_STREQ("", ImageSlot[0]);
    HeapDestroy(heap);
}

TEST_F(PictureSet, EveryPictureAndVariantBecomesCurrent)
{
    // The pointer the user had comes back after every change.
    const HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    for (int n = 0; n < 20; n++) {
        int fullSize = n / 10, i = n % 10;
        PrevLensX = 5;
        SetCursor(cross);
        ASSERT_EQ(1, SelectImage(fullSize, i)) << n;
        EXPECT_TRUE(CurrentImage == i && PrevLensX == -1 && RowStride == (fullSize ? 640 : 488) && GetCursor() == cross) << n;
        EXPECT_TRUE(Holds(CurrentDib, fullSize ? Painting(101 + i, 640, 480) : Painting(1 + i))) << n;
    }
    // The current picture again is read anew; 4-bit and run-length
    // paintings are expanded, the same pixels.
    Painting(77).Write("LIMAGE10.BMP");
    Bmp("w=486 h=372 bits=4").Write("LIMAGE2.BMP");
    Bmp rle("w=102 h=102 comp=1");
    for (int y = 0; y < 102; y++)
        rle.px.insert(rle.px.end(), {100, uint8_t(y), 2, uint8_t(255 - y), 0, 0});
    rle.px.insert(rle.px.end(), {0, 1});
    rle.Write("LIMAGE3.BMP");
    ASSERT_EQ(1, SelectImage(0, 9));
    EXPECT_TRUE(Holds(CurrentDib, Painting(77)));
    for (int i : {1, 2}) {
        ASSERT_EQ(1, SelectImage(0, i)) << i;
        EXPECT_TRUE(CurrentDib->bitCount == 8 && CurrentDib->info.biCompression == 0) << i;
        EXPECT_EQ(0, Differences(DrawFile(i == 1 ? "LIMAGE2.BMP" : "LIMAGE3.BMP"), DrawDib(CurrentDib))) << i;
    }
    // The folder prefix goes in front of the name, no separator put between.
    Painting(42).Write("PICSLIMAGE1.BMP");
    lstrcpyA(RootDir, "PICS");
    EXPECT_TRUE(SelectImage(0, 0) && Holds(CurrentDib, Painting(42)));
}

// A picture that cannot be shown: the box, and every piece of state as it was.
TEST_F(PictureSet, FailuresShowTheBoxAndChangeNothing)
{
    WriteSettings("[Selection]\r\nImage7=\r\n");
    ReadImageNames();
    DeleteFileA("FIMAGE3.BMP");
    // Missing; 24 bits, too narrow, too low, beyond what lens corners
    // reach; without a name.
    const struct { int fullSize, index; const char *name, *fields; } failing[] = {{1, 2, "FIMAGE3.BMP", nullptr},
        {0, 3, "LIMAGE4.BMP", "w=486 h=372 bits=24"}, {0, 4, "LIMAGE5.BMP", "w=101 h=372"}, {0, 5, "LIMAGE6.BMP", "w=486 h=101"},
        {0, 7, "LIMAGE8.BMP", "w=120 h=33000 comp=1 px=00,01"}, {0, 6, "", nullptr}, {1, 6, "", nullptr}};
    ASSERT_EQ(1, SelectImage(0, 2));
    PrevLensX = 7;
    PrevLensY = 9;
    DibBlock *before = CurrentDib;
    Bytes bits(DibBits(before), DibBits(before) + before->info.biSizeImage);
    DWORD palette = before->hPalette, flags = before->flags;
    // The pointer the user had is back by the time the box comes.
    const HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    HHOOK hook = SetWindowsHookExA(WH_CBT, PointerAtBox, nullptr, GetCurrentThreadId());
    std::vector<std::string> texts;
    for (const auto &f : failing) {
        if (f.fields)
            Bmp(f.fields).Write(f.name);
        texts.push_back(std::string("Loading image ") + f.name + " failed!");
        SetCursor(cross);
        pointerAtBox = nullptr;
        EXPECT_EQ(0, SelectImage(f.fullSize, f.index)) << f.index;
        EXPECT_EQ(cross, pointerAtBox) << f.index;
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(texts, boxes.WaitFor(expectedBoxes = 7));
    EXPECT_TRUE(CurrentImage == 2 && CurrentDib == before && RowStride == 488 && PrevLensX == 7 && PrevLensY == 9);
    EXPECT_TRUE(before->hPalette == palette && before->flags == flags && !memcmp(bits.data(), DibBits(before), bits.size()));
    Painting(5, 102, 102).Write("LIMAGE5.BMP");
    EXPECT_EQ(1, SelectImage(0, 4)) << "the smallest picture the lens fits in";
}

// Run on a true-colour screen, and again on an 8-bit one; each painting has
// a colour table of its own.
TEST_F(PictureSet, PaletteExactlyOnPaletteScreens)
{
    ASSERT_NE("", Env("ORB_EXPECT_PALETTE")) << "which screen this is: CTest sets it";
    bool paletteScreen = Env("ORB_EXPECT_PALETTE") == "1";
    for (int i : {0, 5, 5}) {
        ASSERT_EQ(1, SelectImage(0, i));
        HPALETTE h = DibPalette(CurrentDib);
        PALETTEENTRY e[256];
        ASSERT_EQ(paletteScreen ? 256u : 0u, h ? GetPaletteEntries(h, 0, 256, e) : 0);
        EXPECT_TRUE(!h || (e[9].peRed == TableByte(9, 2, i + 1) && e[9].peBlue == TableByte(9, 0, i + 1))) << i;
    }
}

// Every start of the table, each with its settings file before, ended by
// the return or the exit button on a picture: the file after, byte for
// byte (Wine's profile writer rewrites the whole file: docs/handoff.md).
TEST(Handoff, EveryCaseOfTheTable)
{
    std::vector<std::string> lines = DataLines("handoff.txt");
    ASSERT_GT(lines.size(), 10u);
    for (const std::string &line : lines) {
        size_t how = line.find(" | "), after = line.find(" | ", how + 3);
        std::string before = line.substr(0, how), expected = line.substr(after + 3);
        before == "-" ? RemoveSettings() : WriteSettings(Unescape(before));
        ArmHandoff();
        CurrentImage = atoi(line.c_str() + how + 3) - 1;
        ReturnRequested = line[after - 1] == 'R';
        WriteHandoff();
        EXPECT_EQ(expected == "-" ? "" : Unescape(expected), ReadSettings()) << line;
    }
    ReturnRequested = 0;
    RemoveSettings();
}

// Leaves the stack below the caller full of non-zero bytes.
__attribute__((noinline)) void DirtyStack()
{
    volatile char dirt[4096];
    for (size_t i = 0; i < sizeof dirt; i++)
        dirt[i] = 0x5A;
}

// The strip's left, top and bottom pixel lines belong to no thumbnail; its
// right line is the right column's.
TEST(Startup, ThumbnailUnderAPointOfTheStrip)
{
    const struct { int x, y, index; } hits[] = {{6, 6, 0}, {130, 280, 9}, {68, 30, 0}, {69, 30, 1}, {40, 60, 0}, {40, 61, 2},
        {40, 115, 2}, {40, 117, 4}, {100, 200, 7}, {6, 226, 8}, {5, 5, -1}, {5, 100, -1}, {5, 240, -1}, {60, 5, -1}, {100, 281, -1}};
    for (const auto &h : hits)
        EXPECT_EQ(h.index, ThumbnailIndex(h.x, h.y)) << h.x << "," << h.y;
}

TEST(Startup, CommandLinePlacementAndMessageLoop)
{
    const struct { const char *line; int index; } lines[] = {
        {"3", 2}, {"10", 9}, {"7X", 6}, {"0", -1}, {"11", -1}, {"-1", -1}, {"ABC", -1}, {"", -1}, {nullptr, -1}, {"  4", 3}, {"\t+5", 4},
        {"1 2", 0}, {"\"3\"", -1}, {"00000000000000000010", 9}, {"99999999999999999999999", -1}, {"-99999999999999999999999", -1},
        {"4294967299", -1}};
    for (const auto &c : lines)
        EXPECT_EQ(c.index, ParsePictureNumber(c.line)) << (c.line ? c.line : "(null)");
    EXPECT_EQ(-1, ParsePictureNumber(std::string(5000, '7').c_str()));
    const struct { int w, h, x, y; } screens[] = {{800, 600, 80, 60}, {1024, 768, 192, 144}, {640, 480, 0, 0}, {641, 481, 0, 0},
                                                  {639, 479, 0, 0}, {600, 400, -20, -40}, {640, 600, 0, 60}, {320, 200, -160, -140}};
    for (const auto &s : screens) {
        POINT p = MainWindowOrigin(s.w, s.h);
        EXPECT_TRUE(p.x == s.x && p.y == s.y) << s.w << "x" << s.h;
    }
    // The loop ends with the quit message's parameter, and with 0 when the
    // platform reports an error (a window that is gone), whatever lay on
    // the stack before.
    PostQuitMessage(7);
    EXPECT_EQ(7, RunMessageLoop(nullptr));
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    DirtyStack();
    EXPECT_EQ(0, RunMessageLoop(gone));
}

}  // namespace
