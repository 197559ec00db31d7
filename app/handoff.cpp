#include "app/handoff.h"

#include <string.h>

#include "app/globals.h"

const char HandoffSentinel[] = "Quolmarex";

namespace {

bool Absent(const char *text) { return text[0] == 0 || strcmp(text, HandoffSentinel) == 0; }

}  // namespace

void ArmHandoff()
{
    char run[128];
    GetPrivateProfileStringA("Menu", "run", HandoffSentinel, run, sizeof run, SettingsFile);
    HandoffMarker = Absent(run) ? HANDOFF_ARMED : HANDOFF_NOT_ARMED;
}

void WriteHandoff()
{
    if (ReturnRequested != 1 || HandoffMarker != HANDOFF_ARMED)
        return;
    int number = CurrentImage + 1;
    char key[16], text[128], back[128];
    wsprintfA(key, "%d", number);
    GetPrivateProfileStringA("Lens", key, HandoffSentinel, text, sizeof text, SettingsFile);
    if (Absent(text))
        lstrcpyA(text, HandoffSentinel);
    WritePrivateProfileStringA("Menu", "Run", text, SettingsFile);
    wsprintfA(back, "ORBVUE %d", number);
    WritePrivateProfileStringA("Menu", "Return", back, SettingsFile);
}
