#include "game/game.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "editor/editor_step.h"
#include "editor/pointer.h"
#include "editor/selection_frame.h"
#include "game/level.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "render/hud.h"
#include "render/scene.h"
#include "sim/simulation.h"

// Ends a start-up that cannot go on, in order: screen released, one line on
// standard error under the running program's name (the game and the replay tool
// share this), the same in a message box where a desktop can show one.
static int32_t StopStartUp(const std::string& reason) {
    ReleaseScreen();
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, reason.c_str());
    ShowErrorMessage("Karnolt", reason.c_str());
    return 1;
}

int32_t StartUp() {
    InitSpriteSystem();
    OpenKeyboard();
    InitScaledSprites();
    OpenMouse();
    fpsMeter.fpsBaseTick = ReadTickCount();
    // The level number, pointer and view start at their records' start values; the
    // world, empty, at the level's size (LoadLevel).
    if (OpenFullScreen(SCREEN_WIDTH, SCREEN_HEIGHT, 32, "Karnolt") == 0) {
        // Without a screen nobody could see the game or press Escape to end it.
        return StopStartUp("the screen cannot be opened (no graphical desktop?)");
    }
    SetFrameCap(60);
    SetScaledFiltering(1);
    if (LoadLevel() == 0) {
        // Without a level the grid has no size and no background.
        return StopStartUp(game.levelError);
    }
    return 0;
}

// Enter released: start the simulation, or stop it and put the world back at rest.
static void ToggleSimulation() {
    if (game.simulationRunning == 0) {
        game.simulationRunning = 1;
    } else {
        game.simulationRunning = 0;
        ResetWorld();
    }
}

bool RunFrame() {
    ReadKeyboard();
    if (KeyDown(SCAN_ESCAPE) != 0) return false;
    if (KeyReleased(SCAN_RETURN) != 0) ToggleSimulation();
    UpdatePointer();

    ClearBackBuffer(0, 0, 0);
    BeginDraw(BackBufferTarget());
    FrameFillAndDelete();
    EndDraw();

    DrawLevelBackground();

    BeginDraw(BackBufferTarget());
    DrawGridLines();
    DrawNodes();
    DrawBeams();
    // The scene shows the world as the last frame left it; this frame's edits and
    // step change it now, to be seen in the next frame.
    EditorStep();
    SimulationStep();
    DrawHud();
    EndDraw();

    PresentFrame();
    return true;
}

void Shutdown() {
    ReleaseScreen();
}

void ResetGame() {
    game = GameState{};
    editor = EditorState{};
    fpsMeter = FrameRateMeterState{};
}
