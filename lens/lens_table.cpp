#include "lens/lens.h"

#include <math.h>

BYTE LensTable[LENS_PIXELS][2];
WORD LensSource[LENS_PIXELS];

void BuildLensTable()
{
    const int centre = LENS_RADIUS, radiusSquared = LENS_RADIUS * LENS_RADIUS;
    const double sphere = 30.0, sphereSquared = 900.0;
    for (int j = 0; j < LENS_SIZE; j++) {
        for (int i = 0; i < LENS_SIZE; i++) {
            int a = i - centre, b = j - centre;
            int d2 = a * a + b * b;
            BYTE *entry = LensTable[i * LENS_SIZE + j];
            if (d2 >= radiusSquared) {
                entry[0] = static_cast<BYTE>(i);
                entry[1] = static_cast<BYTE>(j);
                continue;
            }
            double s = sphereSquared - (d2 - radiusSquared);
            double q = sqrt(s) + 1.0;
            double f = sphere / (q + sphere);
            // Truncation toward zero, never rounding: the table is pinned to it.
            entry[0] = static_cast<BYTE>(centre + static_cast<int>(f * a));
            entry[1] = static_cast<BYTE>(centre + static_cast<int>(f * b));
        }
    }
    for (int n = 0; n < LENS_PIXELS; n++)
        LensSource[n] = static_cast<WORD>(LensTable[n][0] * LENS_SIZE + LensTable[n][1]);
}
