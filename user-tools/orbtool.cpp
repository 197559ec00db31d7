// orbtool: checks pictures and picture sets for the viewer, and converts
// BMP files through a device bitmap.
//   orbtool check FILE...
//   orbtool check-set
//   orbtool convert IN OUT [BITS]
//   orbtool expand IN OUT
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/globals.h"
#include "app/picture_set.h"
#include "image/dib.h"

namespace {

const char *Meaning(DibError code)
{
    switch (code) {
    case 0: return "loaded";
    case DIB_ERR_OPEN: return "cannot open the file";
    case DIB_ERR_CLOSE: return "closing the file failed";
    case DIB_ERR_MEMORY: return "out of memory";
    case DIB_ERR_FILEHEADER: return "shorter than a file header";
    case DIB_ERR_TYPE: return "not a BMP file";
    case DIB_ERR_INFOHEADER: return "info header short or describes no picture";
    case DIB_ERR_PLANES: return "planes not 1";
    case DIB_ERR_BITCOUNT: return "bits per pixel not 1, 4, 8 or 24";
    case DIB_ERR_COMPRESSION: return "compression not supported";
    case DIB_ERR_COLORTABLE: return "colour table short or lacking colours the pixels name";
    case DIB_ERR_BITS: return "pixel bits short or do not fit";
    default: return "unknown code";
    }
}

// One line for one file; true when the viewer can use it. Interface
// pictures are drawn as they are, so loading is all they need.
bool Report(const char *name, bool lensPicture)
{
    DibError error;
    DibBlock *dib = LoadDib(&error, name);
    if (!dib) {
        printf("%s\t%ld\t%s\t-\t-\t-\t-\tunusable: %s\n", name, static_cast<long>(error), Meaning(error), Meaning(error));
        return false;
    }
    const char *reason = lensPicture ? PictureUnusableReason(dib) : nullptr;
    printf("%s\t0\t%s\t%ld\t%ld\t%lu\t%lu\t%s%s\n", name, Meaning(0), static_cast<long>(dib->width),
           static_cast<long>(dib->height), static_cast<unsigned long>(dib->bitCount),
           static_cast<unsigned long>(dib->info.biCompression), reason ? "unusable: " : "usable", reason ? reason : "");
    FreeDib(dib);
    return reason == nullptr;
}

int Check(int count, char **files)
{
    bool all = true;
    for (int i = 0; i < count; i++)
        all = Report(files[i], true) && all;
    return all ? 0 : 1;
}

// What the viewer reads at start-up and on every click, found as it finds
// it: a header line, then the columns of check.
int CheckSet()
{
    ReadRootDir();
    ReadImageNames();
    printf("file\tcode\tmeaning\twidth\theight\tbits\tcompression\tverdict\n");
    bool all = true;
    for (int fullSize = 0; fullSize < 2; fullSize++) {
        for (int index = 0; index < 10; index++) {
            char name[256], path[256];
            PictureName(name, fullSize, index);
            wsprintfA(path, "%s%s", RootDir, name);
            all = Report(path, true) && all;
        }
    }
    for (const char *name : InterfaceFiles)
        all = Report(name, false) && all;
    all = Report(CreditsFile, false) && all;
    all = Report(HelpFile, false) && all;
    return all ? 0 : 1;
}

int Convert(const char *in, const char *out, int bits)
{
    DibError error;
    DibBlock *dib = LoadDib(&error, in);
    if (!dib) {
        fprintf(stderr, "orbtool: %s: %s (%ld)\n", in, Meaning(error), static_cast<long>(error));
        return 1;
    }
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = DibToBitmap(dib, screen);
    DibBlock *converted = bitmap ? DibFromBitmap(&error, bits, bitmap, dc) : nullptr;
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    FreeDib(dib);
    if (!bitmap || !converted) {
        fprintf(stderr, "orbtool: %s: cannot convert (%ld)\n", in, bitmap ? static_cast<long>(error) : 0L);
        return 1;
    }
    int result = SaveDib(&error, converted, out);
    FreeDib(converted);
    if (result != 0) {
        fprintf(stderr, "orbtool: %s: %s (%ld)\n", out, Meaning(error), static_cast<long>(error));
        return 1;
    }
    return 0;
}

// Lossless: 1- and 4-bit and run-length pictures become 8-bit uncompressed.
int Expand(const char *in, const char *out)
{
    DibError error;
    DibBlock *dib = LoadDib(&error, in);
    if (!dib) {
        fprintf(stderr, "orbtool: %s: %s (%ld)\n", in, Meaning(error), static_cast<long>(error));
        return 1;
    }
    DibBlock *eight = ExpandToEightBits(&error, dib);
    FreeDib(dib);
    if (!eight) {
        fprintf(stderr, "orbtool: %s: cannot be made 8-bit without loss (%ld)\n", in, static_cast<long>(error));
        return 1;
    }
    int result = SaveDib(&error, eight, out);
    FreeDib(eight);
    if (result != 0) {
        fprintf(stderr, "orbtool: %s: %s (%ld)\n", out, Meaning(error), static_cast<long>(error));
        return 1;
    }
    return 0;
}

int Usage()
{
    fprintf(stderr, "usage: orbtool check FILE...\n"
                    "       orbtool check-set\n"
                    "       orbtool convert IN OUT [1|4|8|24]\n"
                    "       orbtool expand IN OUT\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && strcmp(argv[1], "check") == 0)
        return Check(argc - 2, argv + 2);
    if (argc == 2 && strcmp(argv[1], "check-set") == 0)
        return CheckSet();
    if ((argc == 4 || argc == 5) && strcmp(argv[1], "convert") == 0) {
        int bits = argc == 5 ? atoi(argv[4]) : 24;
        if (!ValidBitCount(bits))
            return Usage();
        return Convert(argv[2], argv[3], bits);
    }
    if (argc == 4 && strcmp(argv[1], "expand") == 0)
        return Expand(argv[2], argv[3]);
    return Usage();
}
