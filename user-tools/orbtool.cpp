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

// The routine that gave a code: several codes mean one thing when a file
// is read and another when it is written or a picture is converted; 111,
// for one, is no BMP file, a file header not written, or a handle that is
// no bitmap.
enum Operation { READ, WRITE, FROM_BITMAP, EXPAND };

// What each code means for each operation, or null where it gives none:
// the image store's own list (image/dib.h).
#define ORBTOOL_MEANING(name, code, read, write, fromBitmap, expand) {name, {read, write, fromBitmap, expand}},
const struct {
    DibError code;
    const char *meaning[4];   // READ, WRITE, FROM_BITMAP, EXPAND
} Meanings[] = {DIB_RESULT_CODES(ORBTOOL_MEANING)};
#undef ORBTOOL_MEANING

const char *Meaning(DibError code, Operation operation)
{
    for (const auto &m : Meanings)
        if (m.code == code && m.meaning[operation])
            return m.meaning[operation];
    return "unknown code";
}

// Says why `name` failed; the exit status of a failed command.
int Fail(const char *name, DibError code, Operation operation)
{
    fprintf(stderr, "orbtool: %s: %s (%ld)\n", name, Meaning(code, operation), static_cast<long>(code));
    return 1;
}

// One line for one file; true when the viewer can use it. Interface
// pictures are drawn as they are, so loading is all they need.
bool Report(const char *name, bool lensPicture)
{
    DibError error;
    DibBlock *dib = LoadDib(&error, name);
    if (!dib) {
        const char *meaning = Meaning(error, READ);
        printf("%s\t%ld\t%s\t-\t-\t-\t-\tunusable: %s\n", name, static_cast<long>(error), meaning, meaning);
        return false;
    }
    const char *reason = lensPicture ? PictureUnusableReason(dib) : nullptr;
    printf("%s\t0\t%s\t%ld\t%ld\t%lu\t%lu\t%s%s\n", name, Meaning(DIB_OK, READ), static_cast<long>(dib->width),
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
    if (!dib)
        return Fail(in, error, READ);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = DibToBitmap(dib, screen);
    DibBlock *converted = bitmap ? DibFromBitmap(&error, bits, bitmap, dc) : nullptr;
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    FreeDib(dib);
    if (!bitmap) {
        fprintf(stderr, "orbtool: %s: no device bitmap can be made of it\n", in);
        return 1;
    }
    if (!converted)
        return Fail(in, error, FROM_BITMAP);
    int result = SaveDib(&error, converted, out);
    FreeDib(converted);
    return result != 0 ? Fail(out, error, WRITE) : 0;
}

// Lossless: 1- and 4-bit and run-length pictures become 8-bit uncompressed.
int Expand(const char *in, const char *out)
{
    DibError error;
    DibBlock *dib = LoadDib(&error, in);
    if (!dib)
        return Fail(in, error, READ);
    DibBlock *eight = ExpandToEightBits(&error, dib);
    FreeDib(dib);
    if (!eight)
        return Fail(in, error, EXPAND);
    int result = SaveDib(&error, eight, out);
    FreeDib(eight);
    return result != 0 ? Fail(out, error, WRITE) : 0;
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
