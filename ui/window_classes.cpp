#include "ui/window_procs.h"

#include "app/globals.h"

namespace {

bool Register(const char *name, WNDPROC procedure, HCURSOR cursor, HICON icon)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = AppInstance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

}  // namespace

bool RegisterWindowClasses()
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    // The viewer has no class cursor: it hides the pointer itself.
    return Register("CLensMain", MainWndProc, arrow, LoadIconA(AppInstance, MAKEINTRESOURCEA(101))) &&
           Register("CLensViewer", ViewerWndProc, nullptr, nullptr) &&
           Register("CLensHelper", HelperWndProc, arrow, nullptr);
}
