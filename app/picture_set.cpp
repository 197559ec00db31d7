#include "app/picture_set.h"

#include <string.h>

#include "app/globals.h"
#include "app/handoff.h"
#include "lens/lens.h"

char *ImageSlot[10];
const char *const InterfaceFiles[6] = {"lselect.bmp", "lbutton.bmp", "copyrite.bmp", "help.bmp", "exit.bmp", "zoom.bmp"};
const char CreditsFile[] = "LCREDITB.BMP";
const char HelpFile[] = "LHELPB.BMP";

namespace {

char EmptyName[1];

// The lens draws into 8-bit uncompressed bits of at least 102 x 102 pixels.
// Pictures of fewer bits and run-length pictures become that without loss;
// the rest are refused like a file that failed to load.
DibBlock *MakeLensReady(DibBlock *dib)
{
    if (PictureUnusableReason(dib)) {
        FreeDib(dib);
        return nullptr;
    }
    if (LensFits(dib))
        return dib;
    DibError error;
    DibBlock *expanded = ExpandToEightBits(&error, dib);
    FreeDib(dib);
    return expanded;
}

bool PaletteDisplay()
{
    HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    bool palette = ic && (GetDeviceCaps(ic, RASTERCAPS) & RC_PALETTE);
    if (ic)
        DeleteDC(ic);
    return palette;
}

}  // namespace

void ReportLoadFailure(const char *name)
{
    char text[256];
    wsprintfA(text, "Loading image %s failed!", name);
    MessageBoxA(MainWindow, text, "TalvixLens error", MB_TASKMODAL);
}

const char *PictureUnusableReason(const DibBlock *dib)
{
    if (dib->bitCount == 24)
        return "24 bits per pixel";
    // The sizes come from the limits themselves, so the text cannot drift.
    static char reason[48];
    if (dib->width < LENS_MIN_SIDE || dib->height < LENS_MIN_SIDE)
        wsprintfA(reason, "smaller than %d x %d", LENS_MIN_SIDE, LENS_MIN_SIDE);
    else if (dib->width > LENS_MAX_SIDE || dib->height > LENS_MAX_SIDE)
        wsprintfA(reason, "larger than %d pixels", LENS_MAX_SIDE);
    else
        return nullptr;
    return reason;
}

void StoreSlotName(int index, const char *name, HANDLE heap)
{
    size_t length = strlen(name);
    char *copy = static_cast<char *>(HeapAlloc(heap, 0, length + 1));
    if (copy)
        memcpy(copy, name, length + 1);
    ImageSlot[index] = copy ? copy : EmptyName;
}

void ReadRootDir()
{
    GetPrivateProfileStringA("Lens", "Rootdir", "", RootDir, sizeof RootDir, SettingsFile);
}

void ReadImageNames()
{
    for (int n = 1; n <= 10; n++) {
        char key[16], fallback[16], name[128];
        wsprintfA(key, "Image%d", n);
        wsprintfA(fallback, "LIMAGE%d.BMP", n);
        GetPrivateProfileStringA("Selection", key, fallback, name, sizeof name, SettingsFile);
        StoreSlotName(n - 1, name, GetProcessHeap());
    }
}

void PictureName(char name[256], int fullSize, int index)
{
    lstrcpynA(name, ImageSlot[index] ? ImageSlot[index] : "", 128);
    // An empty name has no first character to replace: it stays empty.
    if (fullSize && name[0])
        name[0] = 'F';
}

int SelectImage(int fullSize, int index)
{
    char name[256];
    PictureName(name, fullSize, index);
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char path[256];
    lstrcpyA(path, RootDir);
    lstrcatA(path, name);
    DibError error;
    DibBlock *dib = LoadDib(&error, path);
    if (dib)
        dib = MakeLensReady(dib);
    if (!dib) {
        SetCursor(previous);
        ReportLoadFailure(name);
        return 0;
    }
    CurrentImage = index;
    PrevLensX = -1;
    FreeDib(CurrentDib);
    CurrentDib = dib;
    RowStride = DibRowBytes(dib->width, 8);
    if (PaletteDisplay())
        CreateDibPalette(CurrentDib);
    else
        CurrentDib->hPalette = 0;
    SetCursor(previous);
    if (ViewerWindow)
        InvalidateRect(ViewerWindow, nullptr, TRUE);
    return 1;
}

int LoadImageSet()
{
    ArmHandoff();
    ReadImageNames();
    DibBlock **interfaceDibs[6] = {&SelectionDib, &ReturnDib, &ButtonDib[0], &ButtonDib[1], &ButtonDib[2], &ButtonDib[3]};
    for (int i = 0; i < 6; i++) {
        DibError error;
        *interfaceDibs[i] = LoadDib(&error, InterfaceFiles[i]);
    }
    if (!SelectImage(0, CurrentImage))
        FatalAppExitA(0, "Cannot load default image");
    return 0;
}
