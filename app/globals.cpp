#include "app/globals.h"

HINSTANCE AppInstance;
HWND MainWindow;
RECT MainRect;
HWND ViewerWindow;
RECT ViewerRect;
char RootDir[49];
int CurrentImage;
DibBlock *CurrentDib;
int RowStride;
DibBlock *SelectionDib;
DibBlock *ReturnDib;
DibBlock *ButtonDib[4];
DibBlock *InfoDib;
short LensX, LensY;
short PrevLensX = -1, PrevLensY = -1;
int ZoomMode;
int SwallowButtonUp;
BYTE ReturnRequested;
int HandoffMarker;

const char SettingsFile[] = "talvix.ini";
