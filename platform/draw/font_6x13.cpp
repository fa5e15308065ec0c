#include "platform/draw/font.h"

// Placeholder until the converted font lands.
const uint8_t FONT_GLYPHS[256][FONT_HEIGHT] = {};
