// The level bitmap decoder: uncompressed 16-, 24- and 32-bit files, bottom-up rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/draw/surface.h"

// Sprite sizes are 16-bit; larger images are refused.
inline constexpr int32_t MAX_BITMAP_SIDE = 32767;

// Decodes size bytes into image (MakeColour layout, top row first). On refusal the
// image is left empty and reason says why, without the file name.
bool DecodeBitmap(const uint8_t* data, std::size_t size, Surface& image, std::string& reason);
