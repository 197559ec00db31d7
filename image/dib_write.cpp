// The BMP writer: the file header, the info header and colour table as the
// block holds them, then the bits.
#include "image/dib_block.h"

namespace {

void PutDword(BYTE *p, DWORD v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
    p[2] = BYTE(v >> 16);
    p[3] = BYTE(v >> 24);
}

int Fail(DibError *error, HFILE file, DibError code)
{
    if (file != HFILE_ERROR)
        _lclose(file);
    *error = code;
    return -1;
}

}  // namespace

int SaveDib(DibError *error, DibBlock *dib, const char *fileName)
{
    const BITMAPINFOHEADER &bi = dib->info;
    DWORD bits = bi.biBitCount;
    // A block must hold what the header says is written from it.
    if (!ValidBitCount(bits))
        return Fail(error, HFILE_ERROR, DIB_ERR_BITCOUNT);
    if (dib->totalSize < DIB_BITS_OFFSET || bi.biSizeImage > dib->totalSize - DIB_BITS_OFFSET)
        return Fail(error, HFILE_ERROR, DIB_ERR_BITS);

    HFILE file = _lcreat(fileName, 0);
    if (file == HFILE_ERROR)
        return Fail(error, HFILE_ERROR, DIB_ERR_OPEN);
    DWORD tableBytes = bits == 24 ? 0 : 4u << bits;
    BYTE header[14] = {'B', 'M'};
    PutDword(header + 2, 54 + tableBytes + bi.biSizeImage);
    PutDword(header + 10, 54 + tableBytes);
    if (_lwrite(file, reinterpret_cast<LPCCH>(header), 14) != 14)
        return Fail(error, file, DIB_ERR_TYPE);
    if (_lwrite(file, reinterpret_cast<LPCCH>(&dib->info), 40) != 40)
        return Fail(error, file, DIB_ERR_INFOHEADER);
    if (tableBytes && _lwrite(file, reinterpret_cast<LPCCH>(dib->colors), tableBytes) != tableBytes)
        return Fail(error, file, DIB_ERR_COLORTABLE);
    long image = static_cast<long>(bi.biSizeImage);
    if (_hwrite(file, reinterpret_cast<LPCCH>(DibBits(dib)), image) != image)
        return Fail(error, file, DIB_ERR_BITS);
    if (_lclose(file) == HFILE_ERROR) {
        *error = DIB_ERR_CLOSE;
        return -1;
    }
    *error = DIB_OK;
    return 0;
}
