// The ten paintings of the default set.
#pragma once

#include "artwork/canvas.h"

struct PaintingTitle {
    const char *title;
    const char *description;
};
extern const PaintingTitle Paintings[10];

// Paints composition `index` (0-9) over the whole canvas, in `steps`
// shades per colour ramp (64 for the picture itself, fewer for thumbnails).
void PaintPainting(int index, Canvas &canvas, int steps);
