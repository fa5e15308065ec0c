// The page's interface, both ways, in one place. index.html keeps the object
// window.karnoltPage, whose members the C++ side uses only through the calls below
// (page_interface.cpp holds their bodies); the page calls into the game only through
// the exported functions listed at the end (named in CMakeLists.txt's
// EXPORTED_FUNCTIONS, called from the page as Module._NAME).
//
//   karnoltPage.sizeCanvas(w, h)   the canvas holds the game's picture at its own size,
//                                  which the browser scales to the window
//   karnoltPage.putRows(...)       rows of the picture into the canvas
//   karnoltPage.screenWidth/Height the canvas element's size on the screen, in device pixels
//   karnoltPage.readPixels()       a promise of the canvas's pixels (tests)
//   karnoltPage.framePresented()   a frame went up (start-up measurement, tests)
//   karnoltPage.gameFrames         game frames run (the game's speed, which the
//                                  canvas cannot show: several may share a picture)
//   karnoltPage.showError(title, text)   start-up failed: "Karnolt kann nicht starten"
//   karnoltPage.showEnded()        the game has ended: "Spiel beendet"
#pragma once

#include <cstdint>

// ---- The C++ side calls the page ---------------------------------------------

extern "C" {
// The canvas element's size on the screen, in device pixels (the window's).
int PageScreenWidth();
int PageScreenHeight();
// The canvas's backing store: the game's picture size.
void SizePageCanvas(int width, int height);
// Rows [top, bottom) of a picture at `pixels` (RGBA bytes, `width` a row, `height`
// rows) into the canvas; the rest of the canvas is left alone.
void PutPageRows(const uint32_t* pixels, int width, int height, int top, int bottom);
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
// Touch play (web_touch.cpp): a finger on the canvas element at device pixel (x, y), put down
// (phase 0, holding mouse button `button`), moved (1) or lifted (2); a control beside
// the picture (TOUCH_DELETE ... TOUCH_SCROLL_DOWN) pressed (down 1) or let go (0).
void WebTouchPicture(int32_t phase, int32_t button, int32_t x, int32_t y);
void WebTouchControl(int32_t control, int32_t down);
}
