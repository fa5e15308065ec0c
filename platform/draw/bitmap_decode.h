// The level bitmap decoder: uncompressed 16-, 24- and 32-bit files, bottom-up rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/draw/surface.h"

// Decodes size bytes into image (MakeColour layout, top row first). On refusal the
// image is left empty and reason says why, without the file name. Sprite sizes
// are 16-bit, so images wider or taller than 32767 pixels are refused.
bool DecodeBitmap(const uint8_t* data, std::size_t size, Surface& image, std::string& reason);
