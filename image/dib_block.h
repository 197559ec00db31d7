// Allocation of DibBlocks, shared by the reader and the bitmap conversion.
#pragma once

#include "image/dib.h"

// A new movable block of 1096 + bitsBytes bytes, locked, with hGlobal and
// totalSize set and every other header word zero; null when the platform
// has no memory for it or the size does not fit in 32 bits.
DibBlock *AllocDibBlock(DWORD bitsBytes);

// The memory handle of a block, for releasing it.
HGLOBAL DibMemoryHandle(DibBlock *dib);
