#include "core/game.h"

#include <cstdio>
#include <string>

#include "core/game_state.h"
#include "core/level.h"
#include "core/world.h"
#include "editor/beams.h"
#include "editor/pointer.h"
#include "editor/selection_frame.h"
#include "platform/display.h"
#include "platform/input.h"
#include "render/hud.h"
#include "render/scene.h"
#include "sim/simulation.h"

// Ends a start-up that cannot go on, in order: screen released, one line on
// standard error, the same in a message box where a desktop can show one.
static int32_t StopStartUp(const std::string& reason) {
    ReleaseScreen();
    std::fprintf(stderr, "karnolt: %s\n", reason.c_str());
    ShowErrorMessage("Karnolt", reason.c_str());
    return 1;
}

int32_t StartUp() {
    InitSpriteSystem();
    OpenKeyboard();
    InitScaledSprites();
    OpenMouse();
    ResetFrameRateMeter(ReadTickCount());
    levelNumber = 1;
    CreateWorld();
    pointerX = 512;
    pointerY = 384;
    viewOffsetX = -400;
    viewOffsetY = -400;
    if (OpenFullScreen(SCREEN_WIDTH, SCREEN_HEIGHT, 32, "Karnolt") == 0) {
        // Without a screen nobody could see the game or press Escape to end it.
        return StopStartUp("the screen cannot be opened (no graphical desktop?)");
    }
    SetFrameCap(60);
    SetScaledFiltering(1);
    if (LoadLevel() == 0) {
        // Without a level the grid has no size and no background.
        return StopStartUp(LevelError());
    }
    return 0;
}

// Enter released: start the simulation, or stop it and put the world back at rest.
static void ToggleSimulation() {
    if (simulationRunning == 0) {
        simulationRunning = 1;
    } else {
        simulationRunning = 0;
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
    DrawGridLines();  // begins the drawing that DrawHud ends
    DrawNodes();
    DrawBeams();
    EditorStep();
    SimulationStep();
    DrawHud();
    PresentFrame();
    return true;
}

void FrameLoop() {
    while (RunFrame()) {
    }
}

void Shutdown() {
    ReleaseScreen();
}

void ResetGame() {
    ResetGameState();
    ResetEditorState();
    ResetFrameRateMeter(0);
    CreateWorld();
    levelFileOverride.clear();
}
