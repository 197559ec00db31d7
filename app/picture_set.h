// The ten pictures, the current one, and the interface pictures.
#pragma once

#include <windows.h>

#include "image/dib.h"

extern char *ImageSlot[10];   // file names from "Selection", heap copies

// The interface pictures, in the order SelectionDib, ReturnDib, ButtonDib
// 0-3, and the credits and help pages, all read from the current folder.
extern const char *const InterfaceFiles[6];
extern const char CreditsFile[];
extern const char HelpFile[];

// "Lens" "Rootdir" into RootDir, at most 48 characters.
void ReadRootDir();

// The ten "Selection" names into ImageSlot.
void ReadImageNames();

// The file name of picture `index` as the user knows it (without RootDir):
// its full-size variant has the first character replaced by "F".
void PictureName(char name[256], int fullSize, int index);

// Arms the hand-off, reads the ten names, loads the interface pictures and
// makes the start-up picture current; ends the process when it cannot.
int LoadImageSet();

// Makes picture `index` (0-9) current, its full-size variant when fullSize
// is non-zero; 1, or 0 after telling the user that it failed.
int SelectImage(int fullSize, int index);

// Tells the user, in a task-modal box over the main window, that the
// picture or page `name` failed to load.
void ReportLoadFailure(const char *name);

// Why the viewer cannot show a picture with the lens on it, or null when it
// can (pictures of fewer bits and run-length pictures are expanded). The
// text lasts until the next call.
const char *PictureUnusableReason(const DibBlock *dib);

// Stores a heap copy of `name` as slot `index`, taken from `heap`; when the
// heap has no room the slot gets an empty name, which fails to load.
void StoreSlotName(int index, const char *name, HANDLE heap);
