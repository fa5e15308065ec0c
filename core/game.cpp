#include "core/game.h"

#include <cstdio>

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
    OpenFullScreen(SCREEN_WIDTH, SCREEN_HEIGHT, 32, "Karnolt");
    SetFrameCap(60);
    SetScaledFiltering(1);
    if (LoadLevel() == 0) {
        // Without a level the grid has no size and no background: stop in order.
        ReleaseScreen();
        std::fprintf(stderr, "karnolt: %s\n", LevelError().c_str());
        ShowErrorMessage("Karnolt", LevelError().c_str());
        return 1;
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
