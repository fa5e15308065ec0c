// Inside the platform layer: which set-1 scan code a key position has, by the
// names the back ends get from their systems.
#pragma once

#include <cstdint>
#include <string_view>

// Usages at or above this are none of a keyboard's (SDL's scancodes stop below it).
inline constexpr int32_t KEY_USAGE_LIMIT = 512;

// The set-1 code of a USB HID keyboard usage, as SDL's scancodes number keys; 0 for a
// key without one.
int32_t Set1CodeOfUsage(int32_t usage);
// The set-1 code of a key named as KeyboardEvent.code names it ("KeyA", "Enter",
// "Delete"); 0 for a key without one or an unknown name.
int32_t Set1CodeOfKeyName(std::string_view name);
