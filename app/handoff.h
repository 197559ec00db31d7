// The hand-off to the menu program through the shared settings file.
#pragma once

extern const char HandoffSentinel[];   // stands for an absent entry

enum { HANDOFF_ARMED = 31415, HANDOFF_NOT_ARMED = 27182 };

// At start-up: armed unless the menu program left a "run" entry of its own.
void ArmHandoff();

// At exit: when the user left by the return button and the hand-off is
// armed, tells the menu program what to run next and how to come back.
void WriteHandoff();
