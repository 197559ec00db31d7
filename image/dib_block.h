// Allocation of DibBlocks, shared by the reader and the bitmap conversion.
#pragma once

#include "image/dib.h"

// A new movable block of 1096 + bitsBytes bytes, locked, with hGlobal and
// totalSize set and every other header word zero; null when the platform
// has no memory for it or the size does not fit in 32 bits.
DibBlock *AllocDibBlock(DWORD bitsBytes);

// The memory handle of a block, for releasing it.
HGLOBAL DibMemoryHandle(DibBlock *dib);

// Walks a run-length stream (RLE8, or RLE4 when rle4) as a decoder does and
// says whether it stays inside a width x height picture and names only
// colours below `colours`. Decoders disagree on streams that do not, so
// those are refused; a stream cut short just ends the picture early. With
// `out`, writes each pixel's value at out + y * stride + x, y counted from
// the bottom row; pixels the stream skips are left as they were.
bool WalkRunLength(const BYTE *p, DWORD length, LONG width, LONG height, bool rle4, DWORD colours, BYTE *out, DWORD stride);
