// The bodies of the calls the C++ side makes on the page (page_interface.h lists
// them with the page's members they use).
#include "platform/web/page_interface.h"

#include <emscripten/emscripten.h>

EM_JS(int, PageCanvasWidth, (), { return window['karnoltPage']['canvas']['width']; });
EM_JS(int, PageCanvasHeight, (), { return window['karnoltPage']['canvas']['height']; });

EM_JS(void, FillPageCanvasBlack, (), {
    const page = window['karnoltPage'];
    page['context']['fillStyle'] = '#000';
    page['context']['fillRect'](0, 0, page['canvas']['width'], page['canvas']['height']);
});

EM_JS(void, PutPageRows, (const uint32_t* pixels, int width, int height, int x, int y, int top, int bottom), {
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    window['karnoltPage']['context']['putImageData'](new ImageData(bytes, width, height), x, y, 0, top, width,
                                                     bottom - top);
});

EM_JS(int, PageScalesPicture, (), { return window['karnoltPage']['picture'] ? 1 : 0; });

EM_JS(void, PlacePagePicture,
      (int width, int height, int x, int y, const int32_t* columnFirst, const int32_t* columnWeight,
       int columnCount, const int32_t* rowFirst, const int32_t* rowWeight, int rowCount),
      {
          const axis = function(at, count) {
              return HEAP32.subarray(at >> 2, (at >> 2) + count);
          };
          window['karnoltPage']['picture']['place'](width, height, x, y, axis(columnFirst, columnCount),
                                                    axis(columnWeight, columnCount), axis(rowFirst, rowCount),
                                                    axis(rowWeight, rowCount));
      });

EM_JS(void, PutPagePictureRows, (const uint32_t* pixels, int width, int top, int bottom), {
    const bytes = HEAPU8.subarray(pixels + top * width * 4, pixels + bottom * width * 4);
    window['karnoltPage']['picture']['putRows'](bytes, top, bottom);
});

EM_JS(void, DrawPagePicture, (), { window['karnoltPage']['picture']['draw'](); });

EM_JS(void, NotePageFramePresented, (), { window['karnoltPage']['framePresented'](); });

EM_JS(void, NotePageGameFrame, (), { ++window['karnoltPage']['gameFrames']; });

EM_JS(void, ShowPageError, (const char* title, const char* text),
      { window['karnoltPage']['showError'](UTF8ToString(title), UTF8ToString(text)); });

EM_JS(void, ShowPageEnded, (), { window['karnoltPage']['showEnded'](); });

EM_JS(int, PageHasFocus, (), { return document.hasFocus() ? 1 : 0; });
