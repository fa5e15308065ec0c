#include "platform/draw/draw_state.h"

DrawState drawState;
