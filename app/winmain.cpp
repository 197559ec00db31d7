// orbvue: the lens viewer.
#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    if (!StartUp(instance, previous, commandLine, show))
        return 0;
    int code = RunMessageLoop(nullptr);
    ShutDown();
    return code;
}
