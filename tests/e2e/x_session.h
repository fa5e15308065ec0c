// A private X server (Xvfb) for one test, and what the tests ask of it through
// Xlib: screen grabs, the game's window, close requests, free input grabs.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct ScreenShot {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int32_t x, int32_t y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void SavePpm(const std::string& path) const;
};

struct XSession {
    pid_t server = -1;
    int displayNumber = -1;
    Display* display = nullptr;
    std::string Name() const {
        std::string name = ":";  // built in two steps: GCC 12 at -O3 warns falsely about ":" + string
        return name += std::to_string(displayNumber);
    }
};

// Starts Xvfb with one screen of this size at 24 bits on a display number it
// picks itself, and connects to it. "" on success, else why not.
std::string StartXServer(XSession& session, int32_t width = 1024, int32_t height = 768);
void StopXServer(XSession& session);

ScreenShot GrabScreen(XSession& session);

// A viewable top-level window with this title, or 0.
Window FindWindowByTitle(XSession& session, const char* title);

// What a window manager sends when the player closes a window (WM_DELETE_WINDOW).
bool SendCloseRequest(XSession& session, Window window);

// True when another client can grab pointer and keyboard: nobody holds them.
bool InputIsFree(XSession& session);
