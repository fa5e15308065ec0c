// Start-up, the frame loop and the end of the program.
#pragma once

#include <cstdint>

// StartUp, RunFrame and Shutdown, which the back end's program drives, are declared
// with the platform's services.
#include "platform/display.h"

// The game's state records (game, editor, frame-rate meter) back to their start
// values, so tests can start the program afresh (StartUp makes the world anew); the
// platform has its own reset.
void ResetGame();
