// The desktop game: start-up, then frames until Escape, each paced by PresentFrame.
#include "platform/backend.h"

int main() {
    const int32_t status = StartUp();
    if (status != 0) return status;
    while (RunFrame()) {
    }
    Shutdown();
    return 0;
}
