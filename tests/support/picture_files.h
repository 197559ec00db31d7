// Picture sets made for the tests: each picture recognisable by its bits.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "image/dib.h"
#include "support/bmp_builder.h"

// An 8-bit picture whose pixels depend on `seed`.
BmpBuilder SeededPicture(int width, int height, int seed);

// Writes LIMAGE1..10.BMP (seeds 1-10, 486 x 372) and FIMAGE1..10.BMP (seeds
// 101-110, 640 x 480, or `fullWidth` x `fullHeight`) into `folder` ("" for
// the current one, else with its trailing separator).
void WritePictureSet(const std::string &folder, int fullWidth = 640, int fullHeight = 480);

// Writes the six interface pictures and the two pages into the current folder.
void WriteInterfacePictures();

// The bits a seeded picture's file holds.
std::vector<uint8_t> SeededBits(int width, int height, int seed);

// Whether a block holds exactly the seeded picture.
bool HoldsSeededPicture(DibBlock *dib, int width, int height, int seed);
