// The bodies of the calls the C++ side makes on the page (page_interface.h lists
// them with the page's members they use).
#include "platform/web/page_interface.h"

#include <emscripten/emscripten.h>

EM_JS(int, PageScreenWidth, (), { return window['karnoltPage']['screenWidth']; });
EM_JS(int, PageScreenHeight, (), { return window['karnoltPage']['screenHeight']; });

EM_JS(void, SizePageCanvas, (int width, int height), { window['karnoltPage']['sizeCanvas'](width, height); });

EM_JS(void, PutPageRows, (const uint32_t* pixels, int width, int height, int top, int bottom), {
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    window['karnoltPage']['putRows'](bytes, width, height, top, bottom);
});

EM_JS(void, NotePageFramePresented, (), { window['karnoltPage']['framePresented'](); });

EM_JS(void, NotePageGameFrame, (), { ++window['karnoltPage']['gameFrames']; });

EM_JS(void, ShowPageError, (const char* title, const char* text),
      { window['karnoltPage']['showError'](UTF8ToString(title), UTF8ToString(text)); });

EM_JS(void, ShowPageEnded, (), { window['karnoltPage']['showEnded'](); });

EM_JS(int, PageHasFocus, (), { return document.hasFocus() ? 1 : 0; });
