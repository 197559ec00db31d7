// The glass-sphere lens: a LENS_SIZE square whose inscribed disc shows the
// picture magnified, drawn into the current picture's own bits.
#pragma once

#include <windows.h>

#include "image/dib.h"

// The square's side and the radius of its inscribed disc, at whose centre
// the pointer stays wherever the picture's edges allow.
enum { LENS_SIZE = 100, LENS_RADIUS = LENS_SIZE / 2, LENS_PIXELS = LENS_SIZE * LENS_SIZE };

// The square stays off a picture's first and last pixel lines: along an
// axis of `extent` pixels its corner runs from 1 to LensCornerMax(extent).
inline int LensCornerMax(int extent) { return extent - LENS_SIZE - 1; }

// The pictures the lens can be drawn into: 8-bit uncompressed bits, at
// least 102 pixels each way (the square and the two edge lines) and at
// most 32767 (lens positions are signed 16-bit values).
enum { LENS_MIN_SIDE = LENS_SIZE + 2, LENS_MAX_SIDE = 32767 };
bool LensFits(const DibBlock *dib);

// Entry i * LENS_SIZE + j: source row (byte 0) and column (byte 1) in the saved
// square for lens row i, column j; rows in the patches' bottom-up order.
extern BYTE LensTable[LENS_PIXELS][2];
// The same mapping as offsets into the saved square (row * LENS_SIZE + column),
// made with the table, so a draw costs one lookup a pixel.
extern WORD LensSource[LENS_PIXELS];
extern BYTE SavedPatch[LENS_PIXELS];   // the untouched pixels under the lens
extern BYTE LensOutput[LENS_PIXELS];   // the distorted square before it is written

void BuildLensTable();

// Copy the width x height rectangle at picture coordinates (x, y) of
// bottom-up 8-bit bits to or from a packed patch, bottom row first.
void CopyPatchOut(BYTE *patch, const BYTE *bits, int x, int y, int width, int height, int stride, int pictureHeight);
void CopyPatchIn(const BYTE *patch, BYTE *bits, int x, int y, int width, int height, int stride, int pictureHeight);

// Draws the lens into CurrentDib with its square's corner at (x, y), after
// putting back what the previous lens covered. The caller keeps the square
// inside an 8-bit uncompressed picture.
void DrawLens(int y, int x);
