// What the end-to-end tests ask of the X server they run on: child processes,
// screen grabs, the game's window, close requests and free input grabs.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using Environment = std::vector<std::pair<std::string, std::string>>;

inline double MonotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
inline void SleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Starts a program with variables added to this process's environment and its
// output to a file. It gets SIGKILL should this process die first, so no test
// leaves one behind.
inline pid_t StartProcess(const std::vector<std::string>& arguments, const Environment& extra,
                          const std::string& outputFile) {
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    for (const auto& [name, value] : extra) setenv(name.c_str(), value.c_str(), 1);
    const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    for (int fd = 3; fd < 256; ++fd) close(fd);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// The exit status (128 + signal number for a signal), or nothing while it still runs.
inline std::optional<int> WaitForExit(pid_t pid, double seconds) {
    const double deadline = MonotonicSeconds() + seconds;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0) return 255;
        if (MonotonicSeconds() > deadline) return std::nullopt;
        SleepSeconds(0.005);
    }
}

inline void StopProcess(pid_t pid) {
    if (pid <= 0 || kill(pid, SIGTERM) != 0) return;
    if (!WaitForExit(pid, 3)) {
        kill(pid, SIGKILL);
        WaitForExit(pid, 3);
    }
}

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct ScreenShot {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int32_t x, int32_t y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The X server the test runs on (xvfb-run gives each test program its own), and
// where the game's pixels land on it: its picture as large as fits, centred.
struct XScreen {
    Display* display = XOpenDisplay(nullptr);
    int32_t width = display != nullptr ? DisplayWidth(display, DefaultScreen(display)) : 0;
    int32_t height = display != nullptr ? DisplayHeight(display, DefaultScreen(display)) : 0;
    double scale = std::min(width / 1024.0, height / 768.0);
    int32_t originX = (width - static_cast<int32_t>(1024 * scale)) / 2;
    int32_t originY = (height - static_cast<int32_t>(768 * scale)) / 2;
};

// The whole screen; Xvfb's 24-bit visual keeps red, green and blue in bytes 2, 1, 0.
inline ScreenShot GrabScreen(const XScreen& session) {
    ScreenShot shot;
    XWindowAttributes root;
    XGetWindowAttributes(session.display, DefaultRootWindow(session.display), &root);
    XImage* image =
        XGetImage(session.display, DefaultRootWindow(session.display), 0, 0,
                  static_cast<unsigned>(root.width), static_cast<unsigned>(root.height), AllPlanes, ZPixmap);
    if (image == nullptr) return shot;
    shot.width = root.width;
    shot.height = root.height;
    for (int32_t y = 0; y < shot.height; ++y) {
        for (int32_t x = 0; x < shot.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            shot.pixels.push_back(
                {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)});
        }
    }
    XDestroyImage(image);
    return shot;
}

// A viewable top-level window titled "Karnolt" (the game's, or its message box), or 0.
// Read through Xlib: xdotool's search does not match the title SDL gives its boxes.
inline Window GameWindow(const XScreen& session) {
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    XQueryTree(session.display, DefaultRootWindow(session.display), &root, &parent, &children, &count);
    for (unsigned k = 0; k < count && found == 0; ++k) {
        XWindowAttributes attributes{};
        XTextProperty name{};
        const bool shown = XGetWindowAttributes(session.display, children[k], &attributes) != 0 &&
                           attributes.map_state == IsViewable &&
                           XGetWMName(session.display, children[k], &name) != 0 &&
                           std::string(reinterpret_cast<char*>(name.value), name.nitems) == "Karnolt";
        if (name.value != nullptr) XFree(name.value);
        if (shown) found = children[k];
    }
    if (children != nullptr) XFree(children);
    return found;
}

// What a window manager sends when the player closes a window.
inline void SendCloseRequest(const XScreen& session, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(session.display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(session.display, "WM_DELETE_WINDOW", False));
    XSendEvent(session.display, window, False, NoEventMask, &event);
    XFlush(session.display);
}

// True when another client can grab pointer and keyboard: nobody holds them.
inline bool InputIsFree(const XScreen& session) {
    const Window root = DefaultRootWindow(session.display);
    const int pointer = XGrabPointer(session.display, root, False, ButtonPressMask, GrabModeAsync,
                                     GrabModeAsync, None, None, CurrentTime);
    const int keyboard =
        XGrabKeyboard(session.display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XUngrabPointer(session.display, CurrentTime);
    XUngrabKeyboard(session.display, CurrentTime);
    XSync(session.display, False);
    return pointer == GrabSuccess && keyboard == GrabSuccess;
}
