#include "model/game_state.h"

GameState game;
EditorState editor;
FrameRateMeterState fpsMeter;
