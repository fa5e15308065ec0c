// Keyboard and mouse services: per-frame snapshots, never window messages.
#pragma once

#include <cstdint>

inline constexpr int32_t SCAN_ESCAPE = 0x01;
inline constexpr int32_t SCAN_RETURN = 0x1C;
inline constexpr int32_t SCAN_DELETE = 0xD3;

inline constexpr int32_t GESTURE_IDLE = 0;
inline constexpr int32_t GESTURE_PRESSED = 1;
inline constexpr int32_t GESTURE_HELD = 2;
inline constexpr int32_t GESTURE_LONG_HELD = 3;
inline constexpr int32_t GESTURE_CLICK = 4;
inline constexpr int32_t GESTURE_DOUBLE_CLICK = 5;

inline constexpr int32_t MOUSE_EVENT_BUFFER = 24;

int32_t OpenKeyboard();
int32_t ReadKeyboard();
int32_t KeyDown(int32_t scanCode);      // 0x80 while down, else 0
int32_t KeyReleased(int32_t scanCode);  // 1 once, at the first call that finds the key up again

int32_t OpenMouse();
int32_t ReadMouse();
int32_t MouseMotionX();
int32_t MouseMotionY();
int32_t MouseButtonDown(int32_t button);  // 1 left, 2 right, 3 middle
int32_t ButtonGesture(int32_t button);    // once per frame per button: counts frames
