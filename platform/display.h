// Screen, frame pacing, 2D drawing, sprites and scaled sprites: the display
// services the game logic calls. The back ends implement the screen half (SDL2,
// headless or the browser's, chosen at link time; see platform/backend.h); the
// drawing half is our own software renderer on 32-bit pixels in the MakeColour
// layout.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// ---- Screen and frames -------------------------------------------------------

// 1 while the game's window is the active one; kept by PresentFrame.
extern int32_t appActive;

int32_t InitSpriteSystem();
int32_t OpenFullScreen(int32_t width, int32_t height, int32_t depth, const char* title);
int32_t SetFrameCap(int32_t framesPerSecond);
void ClearBackBuffer(int32_t r, int32_t g, int32_t b);
// Handles window messages, shows the back buffer (while appActive), waits for the frame cap.
void PresentFrame();
// Closes the screen: sprites freed, window released, desktop restored.
void ReleaseScreen();
// Millisecond tick for the frame-rate meter; differences are taken modulo 2^32.
uint32_t ReadTickCount();
// Tells the player about a fatal start-up problem where a desktop can show it.
void ShowErrorMessage(const char* title, const char* text);

// ---- The program around the game -------------------------------------------
//
// The game defines these three; each back end's program drives them (backend.h).

// Brings up the platform, the world, the screen and the level. Returns 0 when the
// program can run; otherwise the screen is released again, the reason has been
// printed (and shown where a desktop can), and the result is the exit status.
int32_t StartUp();
// One frame, every phase in order. Returns false when Escape ends the program;
// nothing of that frame is drawn.
bool RunFrame();
// After the last frame: the screen released; the program then ends with status 0.
void Shutdown();

// ---- Drawing -----------------------------------------------------------------

inline constexpr int32_t DRAW_TRANSPARENT_TEXT = 1;
inline constexpr int32_t DRAW_OUTLINE = 4;

inline constexpr int32_t DRAW_TARGET_NONE = 0;
inline constexpr int32_t DRAW_TARGET_BACK_BUFFER = 1;
inline constexpr int32_t DRAW_TARGET_SPRITE = 2;

struct DrawTarget {
    int32_t kind;          // DRAW_TARGET_NONE: "none"
    int32_t spriteNumber;  // for DRAW_TARGET_SPRITE
};

// Red in bits 0-7, green 8-15, blue 16-23.
inline constexpr uint32_t MakeColour(int32_t r, int32_t g, int32_t b) {
    return static_cast<uint32_t>(r) + 256u * static_cast<uint32_t>(g) + 65536u * static_cast<uint32_t>(b);
}

DrawTarget BackBufferTarget();
DrawTarget SpriteTarget(int32_t spriteNumber);
int32_t BeginDraw(DrawTarget target);
void EndDraw();

void SetDrawFlags(int32_t flags);
void SetPenColour(int32_t r, int32_t g, int32_t b);
// Segments cover their start point, not their end point.
void DrawSegment(int32_t x, int32_t y, int32_t dx, int32_t dy);
void DrawSegment(int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t colour);
void DrawSegmentBetween(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
// A beam's stroke: five segments given as {x1, y1, x2, y2}, the first one and its copies
// shifted one pixel left, right, up and down, drawn in one colour exactly as five calls of
// DrawSegmentBetween would. Copies that are exact unit translates (the usual case) are
// drawn in one pass that writes each covered pixel once.
void DrawStroke(const std::array<std::array<int32_t, 4>, 5>& segments, uint32_t colour);
// One pixel at each of xs[0..count) on each of the rows [y, y + rowCount), in the pen
// colour: columns of many lines a band of rows at a time, which walks the target in
// memory order.
void DrawPointsOnRows(int32_t y, int32_t rowCount, const int32_t* xs, int32_t count);
void DrawBox(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour);
void DrawCircle(int32_t x, int32_t y, int32_t radius, uint32_t colour);
void SetTextCursor(int32_t x, int32_t y);
// Latin-1 bytes, from the text cursor.
void DrawLabel(std::string_view latin1Text);
// The MakeColour layout; 0xFFFFFFFF outside the target.
uint32_t ReadPixel(int32_t x, int32_t y);

// Our sources are UTF-8; the labels are Latin-1. The one place that converts.
std::string Latin1FromUtf8(std::string_view utf8Text);

// ---- Sprites -----------------------------------------------------------------

inline constexpr int32_t SPRITE_MODE_PLAIN = 0;
inline constexpr int32_t SPRITE_MODE_TEXTURE = 4;

int32_t LoadSpriteImage(int32_t spriteNumber, const char* fileName, int32_t mode);
// Whether the program carries the file by that bare name in itself (the browser's
// page, which has no folders, carries its level); LoadSpriteImage reads it from there.
bool IsBuiltInFile(const char* fileName);
int32_t GetSpriteWidth(int32_t spriteNumber);
int32_t GetSpriteHeight(int32_t spriteNumber);
// Why the last LoadSpriteImage failed, as one line naming the file ("" after a success).
const std::string& LastSpriteError();

// ---- Scaled sprites ----------------------------------------------------------

int32_t InitScaledSprites();
int32_t MakeScaledSprite(int32_t scaledNumber, int32_t spriteNumber);
void SetScaledSize(int32_t scaledNumber, int32_t width, int32_t height);
int32_t BeginScaledPass();
void ShowScaledSprite(int32_t scaledNumber, int32_t x, int32_t y, int32_t opacity);
void EndScaledPass();
void SetScaledFiltering(int32_t quality);
