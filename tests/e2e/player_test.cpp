// The player's game on a real X server (Xvfb, no window manager), driven from
// outside by synthetic X input (xdotool) and checked on the screen's pixels.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "tests/e2e/x_display.h"

namespace {

constexpr Rgb GREEN{55, 255, 55};  // a beam without load
constexpr Rgb WHITE{255, 255, 255};
constexpr Rgb BLACK{0, 0, 0};
constexpr Rgb GRID_GREY{80, 80, 80};  // the plain lines, not every 4th or 8th
constexpr double START_SECONDS = 60;  // an instrumented build on a busy machine starts slowly
constexpr double CHANGE_SECONDS = 10;
// Long enough for the game to see a button or key in two frames, and two clicks
// more than ten frames apart, even at a few frames per second.
constexpr double HOLD_SECONDS = 0.6;
constexpr double AFTER_CLICK_SECONDS = 1.5;

// Node (i, j) at the start view; the pointer starts in the middle of the picture.
int32_t NodeX(int32_t i) {
    return 20 * i - 400;
}
int32_t NodeY(int32_t j) {
    return 20 * j - 400;
}

int CountAround(const ScreenShot& shot, int32_t x, int32_t y, int32_t reach,
                const std::function<bool(Rgb)>& test) {
    int count = 0;
    for (int32_t v = y - reach; v <= y + reach; ++v) {
        for (int32_t u = x - reach; u <= x + reach; ++u) count += test(shot.At(u, v)) ? 1 : 0;
    }
    return count;
}

// Whether a sanitizer's report in the log has a frame in our sources.
bool BlamesOurCode(const std::string& log) {
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("    #") && line.find(" " KARNOLT_SOURCE_DIR "/") != std::string::npos)
            return true;
    }
    return false;
}

class RealDisplay : public ::testing::Test {
protected:
    XScreen x;
    pid_t game = -1;
    ScreenShot last;
    const std::string logPath = std::string(KARNOLT_SHOT_DIR) + "/" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";

    void TearDown() override {
        if (HasFailure()) std::cerr << "game output:\n" << GameLog();
        StopProcess(game);
        if (x.display != nullptr) XCloseDisplay(x.display);
    }
    // The screen pixel at the middle of a game pixel, and a game distance on the screen.
    int32_t ScreenX(int32_t gameX) const { return x.originX + static_cast<int32_t>((gameX + 0.5) * x.scale); }
    int32_t ScreenY(int32_t gameY) const { return x.originY + static_cast<int32_t>((gameY + 0.5) * x.scale); }
    int32_t Reach(int32_t gamePixels) const { return static_cast<int32_t>(std::ceil(gamePixels * x.scale)); }

    std::string GameLog() const {
        std::stringstream text;
        text << std::ifstream(logPath).rdbuf();
        return text.str();
    }
    bool WaitForScreen(double seconds, const std::function<bool(const ScreenShot&)>& ready) {
        const double deadline = MonotonicSeconds() + seconds;
        do {
            last = GrabScreen(x);
            if (!last.pixels.empty() && ready(last)) return true;
            SleepSeconds(0.05);
        } while (MonotonicSeconds() < deadline);
        return false;
    }
    // Starts the game and waits for its first frame.
    void StartGame(const Environment& extra = {}) {
        ASSERT_NE(x.display, nullptr) << "no X server: the tests run under xvfb-run";
        Environment environment = {{"SDL_VIDEODRIVER", "x11"},
                                   // System libraries (D-Bus, Mesa) keep blocks until the end, some in
                                   // modules unloaded by then; what counts is a report that blames our code.
                                   {"LSAN_OPTIONS", "exitcode=0"}};
        environment.insert(environment.end(), extra.begin(), extra.end());
        std::filesystem::create_directories(KARNOLT_SHOT_DIR);
        game = StartProcess({KARNOLT_GAME}, environment, logPath);
        ASSERT_TRUE(WaitForScreen(START_SECONDS, [&](const ScreenShot& shot) {
            return shot.At(ScreenX(NodeX(32)), ScreenY(NodeY(40))) == WHITE;  // an anchor
        })) << "no game frame on the screen";
        EXPECT_FALSE(InputIsFree(x)) << "the game does not hold the mouse while it runs";
    }
    void Xdotool(const std::vector<std::string>& arguments, double thenWait) {
        std::string command = "xdotool";
        for (const std::string& argument : arguments) command += " " + argument;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        SleepSeconds(thenWait);
    }
    // X button 1 is the game's button 1, X button 3 (the right one) its button 2.
    void ClickAt(int32_t dx, int32_t dy, int xButton) {
        Xdotool({"mousemove_relative", "--", std::to_string(dx), std::to_string(dy)}, 0.3);
        Xdotool({"mousedown", std::to_string(xButton)}, HOLD_SECONDS);
        Xdotool({"mouseup", std::to_string(xButton)}, AFTER_CLICK_SECONDS);
    }
    // Ends with status 0 and gives the screen back; a loaded machine gets ten seconds.
    void ExpectEndsCleanly() {
        const std::optional<int> status = WaitForExit(game, 10);
        ASSERT_TRUE(status.has_value()) << "still running";
        game = -1;
        EXPECT_EQ(*status, 0);
        EXPECT_EQ(GameWindow(x), Window{0});
        EXPECT_TRUE(InputIsFree(x));
        const std::string log = GameLog();
        EXPECT_EQ(log.find("runtime error:"), std::string::npos) << log;
        EXPECT_EQ(log.find("ERROR: AddressSanitizer"), std::string::npos) << log;
        EXPECT_FALSE(BlamesOurCode(log)) << log;
    }
    // Black bars around the picture and nothing else, and the plain grid lines at
    // game x and y = 100: across each, a pixel of its own grey, at most one
    // blended pixel on either side, the rest black. At twice the size every game
    // pixel is an exact 2 x 2 block.
    void ExpectCentredAndCrisp(const ScreenShot& shot) const {
        int32_t left = shot.width, top = shot.height, right = -1, bottom = -1;
        for (int32_t y = 0; y < shot.height; ++y) {
            for (int32_t u = 0; u < shot.width; ++u) {
                if (shot.At(u, y) == BLACK) continue;
                left = std::min(left, u), right = std::max(right, u);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
        EXPECT_EQ(
            std::vector<int32_t>({left, top, right, bottom}),
            std::vector<int32_t>({x.originX, x.originY, x.width - 1 - x.originX, x.height - 1 - x.originY}));
        for (const bool vertical : {true, false}) {
            int pure = 0, blended = 0;
            for (int32_t p = ScreenX(94) - x.originX; p <= ScreenX(106) - x.originX; ++p) {
                const Rgb c =
                    vertical ? shot.At(x.originX + p, ScreenY(150)) : shot.At(ScreenX(150), x.originY + p);
                pure += c == GRID_GREY ? 1 : 0;
                blended += c == GRID_GREY || c == BLACK ? 0 : 1;
            }
            EXPECT_TRUE(pure >= 1 && pure <= Reach(1) && blended <= 2) << pure << " " << blended;
        }
        for (int32_t y = 0; x.scale == 2 && y < shot.height; y += 2) {
            for (int32_t u = 0; u < shot.width; u += 2) {
                const Rgb c = shot.At(u, y);
                ASSERT_TRUE(c == shot.At(u + 1, y) && c == shot.At(u, y + 1) && c == shot.At(u + 1, y + 1))
                    << "the 2 x 2 block at " << u << ", " << y << " is not one colour";
            }
        }
    }
};

// On a 1080p screen (1.40625 times the game's size): a beam built by clicks, the
// simulation started by Enter, Escape ends it.
TEST_F(RealDisplay, BuildsSimulatesAndEndsOnEscape) {
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ExpectCentredAndCrisp(last);
    const ScreenShot stopped = last;
    // Anchor (32, 40) to joint (34, 37); button 2 ends the chain; the pointer goes aside.
    ASSERT_NO_FATAL_FAILURE(ClickAt(NodeX(32) - 512, NodeY(40) - 384, 1));
    ASSERT_NO_FATAL_FAILURE(ClickAt(NodeX(34) - NodeX(32), NodeY(37) - NodeY(40), 1));
    ASSERT_NO_FATAL_FAILURE(ClickAt(300, -200, 3));
    const int32_t midX = ScreenX((NodeX(32) + NodeX(34)) / 2), midY = ScreenY((NodeY(40) + NodeY(37)) / 2);
    const auto beamIs = [&](bool green) {
        return WaitForScreen(CHANGE_SECONDS, [&](const ScreenShot& shot) {
            return (CountAround(shot, midX, midY, Reach(1) + 1, [](Rgb c) { return c == GREEN; }) > 0) ==
                   green;
        });
    };
    EXPECT_TRUE(beamIs(true)) << "the beam is not drawn in the no-force green";
    Xdotool({"keydown", "Return"}, HOLD_SECONDS);
    Xdotool({"keyup", "Return"}, 0);
    EXPECT_TRUE(beamIs(false)) << "the running simulation did not load the beam";
    int changed = 0;  // in the simulation state line
    for (int32_t y = ScreenY(718); y < ScreenY(736); ++y) {
        for (int32_t u = ScreenX(0); u < ScreenX(320); ++u)
            changed += last.At(u, y) == stopped.At(u, y) ? 0 : 1;
    }
    EXPECT_GT(changed, 0) << "the state line did not change";
    Xdotool({"keydown", "Escape"}, 0);
    ExpectEndsCleanly();
    Xdotool({"keyup", "Escape"}, 0);
}

// The first frame alone, where the end-to-end run needs nothing more (the exact
// blocks at twice the size).
TEST_F(RealDisplay, ShowsTheStartScreen) {
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ExpectCentredAndCrisp(last);
}

// A close request from the desktop, SIGTERM, SIGINT and a closed terminal's SIGHUP end
// the game like Escape.
TEST_F(RealDisplay, EndsOnACloseRequestAndOnSignals) {
    for (const int signal : {0, SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_NO_FATAL_FAILURE(StartGame());
        if (signal == 0) {
            SendCloseRequest(x, GameWindow(x));
        } else {
            kill(game, signal);
        }
        ExpectEndsCleanly();
    }
}

// Where nobody could see it (no display, one that refuses it, no video driver), the
// game says so in one line and ends with status 1; so it does for a pipe named as
// its level, which it never reads, and a signal ends it while its box shows that.
TEST_F(RealDisplay, EndsWithAReasonWhereItCannotRun) {
    const std::filesystem::path pipeFolder = std::string(KARNOLT_SHOT_DIR) + "/pipe";
    std::filesystem::create_directories(pipeFolder);
    mkfifo((pipeFolder / "Level1.bmp").c_str(), 0600);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"}, "the screen cannot be opened (no graphical desktop?)"},
        {{"-u", "DISPLAY", "SDL_VIDEODRIVER=nonexistent"},
         "the screen cannot be opened (no graphical desktop?)"},
        {{"XAUTHORITY=/nonexistent"}, "the screen cannot be opened (no graphical desktop?)"},
        {{"-C", pipeFolder.string(), "SDL_VIDEODRIVER=x11"},
         (pipeFolder / "Level1.bmp: not a regular file").string()}};
    for (const auto& [settings, reason] : cases) {
        std::vector<std::string> command = {"env", "-u", "SDL_VIDEODRIVER"};
        command.insert(command.end(), settings.begin(), settings.end());
        command.push_back(KARNOLT_GAME);
        game = StartProcess(command, {{"LSAN_OPTIONS", "exitcode=0"}}, logPath);
        // The reason goes to standard error just before a box shows it where it can.
        bool boxShown = false;
        WaitForScreen(START_SECONDS, [&](const ScreenShot&) {
            siginfo_t ended{};
            waitid(P_PID, static_cast<id_t>(game), &ended, WEXITED | WNOHANG | WNOWAIT);
            boxShown = GameWindow(x) != 0;
            return GameLog().find("karnolt:") != std::string::npos && (ended.si_pid != 0 || boxShown);
        });
        // With a display the player, who may have started the game from a menu, sees the
        // reason in a box; without one only standard error can say it.
        EXPECT_EQ(boxShown, settings.back() == "SDL_VIDEODRIVER=x11") << reason;
        kill(game, SIGHUP);
        EXPECT_EQ(WaitForExit(game, 5), std::optional<int>(1)) << reason;
        game = -1;
        const std::string log = GameLog();
        EXPECT_EQ(log.find("karnolt:"), log.rfind("karnolt:")) << log;
        EXPECT_NE(log.find("karnolt: " + reason + "\n"), std::string::npos) << log;
        EXPECT_FALSE(BlamesOurCode(log)) << log;
    }
}

// The texture path (Mesa's software OpenGL here) and the window surface show the
// same picture, each centred and crisp on its own (run on a 1080p screen).
TEST_F(RealDisplay, BothPresentationPathsShowTheSamePicture) {
    std::vector<ScreenShot> shots;
    for (const auto& [path, reported] :
         {std::pair{"surface", "presenting through the window surface"},
          std::pair{"texture", "presenting through the texture path (renderer opengl"}}) {
        SCOPED_TRACE(path);
        ASSERT_NO_FATAL_FAILURE(StartGame({{"KARNOLT_PRESENT", path}}));
        EXPECT_NE(GameLog().find(reported), std::string::npos) << GameLog();
        ExpectCentredAndCrisp(last);
        shots.push_back(last);
        StopProcess(game);
        game = -1;
    }
    int different = 0;  // below the frame-rate line, which may differ between the runs
    for (std::size_t k = static_cast<std::size_t>(ScreenY(16)) * x.width; k < shots[0].pixels.size(); ++k) {
        const Rgb a = shots[0].pixels[k], b = shots[1].pixels[k];
        different += std::abs(a.r - b.r) > 2 || std::abs(a.g - b.g) > 2 || std::abs(a.b - b.b) > 2 ? 1 : 0;
    }
    EXPECT_EQ(different, 0) << "pixels that differ by more than 2 in a colour channel";
}

}  // namespace
