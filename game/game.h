// Start-up, the frame loop and the end of the program.
#pragma once

#include <cstdint>

// Brings up the platform, the world, the screen and the level. Returns 0 when the
// program can run; otherwise the screen is released again, the reason has been
// printed (and shown where a desktop can), and the result is the exit status.
int32_t StartUp();

// One frame, every phase in order. Returns false when Escape ends the program;
// nothing of that frame is drawn. The back end's program calls it, in a loop or
// once per display frame.
bool RunFrame();
// Releases the screen; the caller then ends the process with status 0.
void Shutdown();

// The game's state records (game, editor, frame-rate meter) back to their start
// values, so tests can start the program afresh (StartUp makes the world anew); the
// platform has its own reset.
void ResetGame();
