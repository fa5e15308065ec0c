#include "tests/e2e/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "tests/e2e/processes.h"

namespace {

// Windows vanish while we look at them; such errors are expected, not fatal.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

int MaskShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

bool HasTitle(Display* display, Window window, const char* title) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) == 0 || name == nullptr) return false;
    const bool same = std::strcmp(name, title) == 0;
    XFree(name);
    return same;
}

}  // namespace

void ScreenShot::SavePpm(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (const Rgb& c : pixels)
        out.put(static_cast<char>(c.r)).put(static_cast<char>(c.g)).put(static_cast<char>(c.b));
}

std::string StartXServer(XSession& session, int32_t width, int32_t height) {
    int fds[2];
    if (pipe(fds) != 0) return "no pipe for Xvfb's display number";
    session.server = StartProcess(
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
         std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp", "-noreset"},
        {}, "", fds[1]);
    close(fds[1]);
    std::string number;
    const double deadline = MonotonicSeconds() + 20;
    while (MonotonicSeconds() < deadline && number.find('\n') == std::string::npos) {
        pollfd wait{fds[0], POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0) continue;
        char buffer[16];
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        number.append(buffer, static_cast<std::size_t>(got));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        StopXServer(session);
        return "Xvfb did not start (is the xvfb package installed? bash scripts/install-deps.sh x11)";
    }
    session.displayNumber = std::stoi(number);
    XSetErrorHandler(IgnoreXError);
    session.display = XOpenDisplay(session.Name().c_str());
    if (session.display == nullptr) {
        StopXServer(session);
        return "cannot connect to Xvfb";
    }
    return "";
}

void StopXServer(XSession& session) {
    if (session.display != nullptr) {
        XCloseDisplay(session.display);
        session.display = nullptr;
    }
    StopProcess(session.server);
    session.server = -1;
}

ScreenShot GrabScreen(XSession& session) {
    ScreenShot shot;
    Display* display = session.display;
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return shot;
    shot.width = attributes.width;
    shot.height = attributes.height;
    shot.pixels.resize(static_cast<std::size_t>(shot.width) * shot.height);
    const int redShift = MaskShift(image->red_mask);
    const int greenShift = MaskShift(image->green_mask);
    const int blueShift = MaskShift(image->blue_mask);
    for (int32_t y = 0; y < shot.height; ++y) {
        for (int32_t x = 0; x < shot.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            shot.pixels[static_cast<std::size_t>(y) * shot.width + x] = {
                static_cast<uint8_t>((p & image->red_mask) >> redShift),
                static_cast<uint8_t>((p & image->green_mask) >> greenShift),
                static_cast<uint8_t>((p & image->blue_mask) >> blueShift)};
        }
    }
    XDestroyImage(image);
    return shot;
}

Window FindWindowByTitle(XSession& session, const char* title) {
    Display* display = session.display;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return 0;
    Window found = 0;
    for (unsigned k = 0; k < count && found == 0; ++k) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[k], &attributes) != 0 &&
            attributes.map_state == IsViewable && HasTitle(display, children[k], title)) {
            found = children[k];
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

bool SendCloseRequest(XSession& session, Window window) {
    Display* display = session.display;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return sent != 0;
}

bool InputIsFree(XSession& session) {
    Display* display = session.display;
    const Window root = DefaultRootWindow(display);
    const int pointer = XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                                     None, None, CurrentTime);
    const int keyboard = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XUngrabPointer(display, CurrentTime);
    XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
    return pointer == GrabSuccess && keyboard == GrabSuccess;
}
