// The page's interface, both ways, in one place. index.html keeps the object
// window.karnoltPage, whose members the C++ side uses only through the calls below
// (page_interface.cpp holds their bodies); the page calls into the game only through
// the exported functions listed at the end (named in CMakeLists.txt's
// EXPORTED_FUNCTIONS, called from the page as Module._NAME).
//
//   karnoltPage.canvas             the canvas, its backing store at device-pixel size
//   karnoltPage.context            its 2D context, where the processor scales the picture
//   karnoltPage.picture            or else the graphics processor's scaler (WebGL2):
//                                  place(...), putRows(bytes, top, bottom), draw()
//   karnoltPage.readPixels()       the canvas's pixels (tests)
//   karnoltPage.framePresented()   a frame went up (start-up measurement, tests)
//   karnoltPage.gameFrames         game frames run (the game's speed, which the
//                                  canvas cannot show: several may share a picture)
//   karnoltPage.showError(title, text)   start-up failed: "Karnolt kann nicht starten"
//   karnoltPage.showEnded()        the game has ended: "Spiel beendet"
#pragma once

#include <cstdint>

// ---- The C++ side calls the page ---------------------------------------------

extern "C" {
int PageCanvasWidth();
int PageCanvasHeight();
void FillPageCanvasBlack();
// Rows [top, bottom) of a picture at `pixels` (RGBA bytes, `width` a row, `height`
// rows) into the canvas with its top-left pixel at x, y; the rest of the canvas is
// left alone.
void PutPageRows(const uint32_t* pixels, int width, int height, int x, int y, int top, int bottom);
// 1 when the page scales the picture on the graphics processor (karnoltPage.picture).
int PageScalesPicture();
// The game's picture size, its place on the canvas and the taps of each axis (output
// pixel o shows source pixel first[o] blended with the next by weight[o] / 256).
void PlacePagePicture(int width, int height, int x, int y, const int32_t* columnFirst,
                      const int32_t* columnWeight, int columnCount, const int32_t* rowFirst,
                      const int32_t* rowWeight, int rowCount);
// Rows [top, bottom) of the game's picture at `pixels` (RGBA bytes, `width` a row) into
// the page's copy of it.
void PutPagePictureRows(const uint32_t* pixels, int width, int top, int bottom);
// The page's copy of the picture scaled into the canvas.
void DrawPagePicture();
void NotePageFramePresented();
void NotePageGameFrame();
void ShowPageError(const char* title, const char* text);
void ShowPageEnded();
// Whether the document has the focus (the page may start without it).
int PageHasFocus();

// ---- The page calls the C++ side ---------------------------------------------

// The page's second Escape, or a closed page: the game sees Escape held from the next
// read on.
void WebRequestEnd();
// Touch play (web_touch.cpp): a finger on the canvas at device pixel (x, y), put down
// (phase 0, holding mouse button `button`), moved (1) or lifted (2); a control beside
// the picture (TOUCH_DELETE ... TOUCH_SCROLL_DOWN) pressed (down 1) or let go (0).
void WebTouchPicture(int32_t phase, int32_t button, int32_t x, int32_t y);
void WebTouchControl(int32_t control, int32_t down);
}
