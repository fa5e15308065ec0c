// The player's game on a real X server (Xvfb, SDL's X11 driver), driven from
// outside by synthetic X input (xdotool, through XTest) and checked on the
// screen's pixels: building, simulating, stopping, and every way of ending.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "tests/e2e/processes.h"
#include "tests/e2e/x_session.h"

namespace {

constexpr Rgb NO_FORCE_GREEN{55, 255, 55};
constexpr Rgb ANCHOR_WHITE{255, 255, 255};
constexpr Rgb BLACK{0, 0, 0};
constexpr Rgb GRID_GREY{80, 80, 80};  // the plain lines, not every 4th or 8th
constexpr int32_t GAME_WIDTH = 1024;
constexpr int32_t GAME_HEIGHT = 768;
constexpr double START_SECONDS = 60;   // an instrumented build on a busy machine starts slowly
constexpr double CHANGE_SECONDS = 10;  // for a visible reaction to input
// Long enough for the game to see a button or key down in two frames and the
// releases of two clicks at least ten frames apart (no double click), even at
// a few frames per second.
constexpr double HOLD_SECONDS = 0.6;
constexpr double AFTER_CLICK_SECONDS = 1.5;

// Node (i, j) at the start view; the pointer starts in the screen's middle.
int32_t NodeX(int32_t i) {
    return 20 * i - 400;
}
int32_t NodeY(int32_t j) {
    return 20 * j - 400;
}
constexpr int32_t START_X = 512;
constexpr int32_t START_Y = 384;

// The simulation state line of the HUD.
constexpr int32_t STATE_LINE_TOP = 718;
constexpr int32_t STATE_LINE_BOTTOM = 736;
constexpr int32_t STATE_LINE_RIGHT = 320;

bool IsForceColour(Rgb c) {
    // Compressed: (55 + a, 255 - a, 55); stretched: (55, 255 - a, 55 + a).
    return (c.b == 55 && c.r + c.g == 310) || (c.r == 55 && c.g + c.b == 310);
}

// Counts pixels around (x, y) that satisfy `test`.
int CountAround(const ScreenShot& shot, int32_t x, int32_t y, int32_t reach,
                const std::function<bool(Rgb)>& test) {
    int count = 0;
    for (int32_t v = y - reach; v <= y + reach; ++v) {
        for (int32_t u = x - reach; u <= x + reach; ++u) count += test(shot.At(u, v)) ? 1 : 0;
    }
    return count;
}

int DifferentPixels(const ScreenShot& a, const ScreenShot& b, int32_t left, int32_t top, int32_t right,
                    int32_t bottom) {
    int count = 0;
    for (int32_t y = top; y < bottom; ++y) {
        for (int32_t x = left; x < right; ++x) count += a.At(x, y) == b.At(x, y) ? 0 : 1;
    }
    return count;
}

class RealDisplay : public ::testing::Test {
protected:
    XSession x;
    pid_t game = -1;
    ScreenShot last;
    std::string logPath;
    // The X screen, and where game pixels land on it: the picture as large as fits, centred.
    int32_t screenWidth = GAME_WIDTH;
    int32_t screenHeight = GAME_HEIGHT;
    double scale = 1;
    int32_t originX = 0;
    int32_t originY = 0;

    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(KARNOLT_SHOT_DIR);
        logPath = std::string(KARNOLT_SHOT_DIR) + "/" + name + ".log";
    }

    // Before the game starts: the size of the X screen it will find.
    void UseScreen(int32_t width, int32_t height) {
        screenWidth = width;
        screenHeight = height;
        scale = std::min(static_cast<double>(width) / GAME_WIDTH, static_cast<double>(height) / GAME_HEIGHT);
        originX = (width - static_cast<int32_t>(GAME_WIDTH * scale)) / 2;
        originY = (height - static_cast<int32_t>(GAME_HEIGHT * scale)) / 2;
    }
    // The screen pixel at the middle of a game pixel, and a game distance on the screen.
    int32_t ScreenX(int32_t gameX) const { return originX + static_cast<int32_t>((gameX + 0.5) * scale); }
    int32_t ScreenY(int32_t gameY) const { return originY + static_cast<int32_t>((gameY + 0.5) * scale); }
    int32_t Reach(int32_t gamePixels) const { return static_cast<int32_t>(std::ceil(gamePixels * scale)); }

    void TearDown() override {
        if (HasFailure()) {
            const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
            if (x.display != nullptr)
                GrabScreen(x).SavePpm(std::string(KARNOLT_SHOT_DIR) + "/" + name + ".ppm");
            std::cerr << "game output:\n" << GameLog() << "screen saved in " << KARNOLT_SHOT_DIR << "\n";
        }
        StopProcess(game);
        StopXServer(x);
    }

    Environment XEnvironment() const { return {{"DISPLAY", x.Name()}}; }

    // Starts the X server if need be, then the game, and waits for its window and its
    // first frame on the screen.
    void StartGame(const Environment& extra = {}) {
        if (x.display == nullptr) {
            ASSERT_EQ(StartXServer(x, screenWidth, screenHeight), "");
        }
        Environment environment = {
            {"DISPLAY", x.Name()},
            {"SDL_VIDEODRIVER", "x11"},
            {"LSAN_OPTIONS", "exitcode=0:suppressions=" KARNOLT_E2E_DIR "/lsan_suppressions.txt"}};
        environment.insert(environment.end(), extra.begin(), extra.end());
        game = StartProcess({KARNOLT_GAME}, environment, logPath);
        ASSERT_TRUE(WaitForScreen(START_SECONDS, [&](const ScreenShot& shot) {
            // The anchor at node (32, 40) and the state line drawn.
            return shot.At(ScreenX(NodeX(32)), ScreenY(NodeY(40))) == ANCHOR_WHITE &&
                   CountAround(shot, ScreenX(100), ScreenY(726), Reach(6),
                               [](Rgb c) { return c == ANCHOR_WHITE; }) > 0;
        })) << "no game frame on the screen";
        ASSERT_NE(FindWindowByTitle(x, "Karnolt"), Window{0});
    }

    std::string GameLog() const {
        std::ifstream file(logPath);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // Black bars around the picture and nothing else: the smallest box holding every
    // pixel that is not black is exactly where the picture belongs (its first and
    // last rows and columns all have something drawn).
    void ExpectCentredBetweenBars(const ScreenShot& shot) const {
        int32_t left = shot.width, top = shot.height, right = -1, bottom = -1;
        for (int32_t y = 0; y < shot.height; ++y) {
            for (int32_t xx = 0; xx < shot.width; ++xx) {
                if (shot.At(xx, y) == BLACK) continue;
                left = std::min(left, xx);
                right = std::max(right, xx);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        EXPECT_EQ(left, originX);
        EXPECT_EQ(top, originY);
        EXPECT_EQ(right, screenWidth - 1 - originX);
        EXPECT_EQ(bottom, screenHeight - 1 - originY);
    }

    // The plain grid lines at game x = 100 and y = 100 cross black sky. Across each,
    // on the screen: at least one pixel keeps the line's own grey, at most one on
    // either side is blended, and everything else is black.
    void ExpectCrispGridLines(const ScreenShot& shot) const {
        for (const bool vertical : {true, false}) {
            int pure = 0;
            int blended = 0;
            for (int32_t p = ScreenX(94) - originX; p <= ScreenX(106) - originX; ++p) {
                const Rgb c =
                    vertical ? shot.At(originX + p, ScreenY(150)) : shot.At(ScreenX(150), originY + p);
                pure += c == GRID_GREY ? 1 : 0;
                blended += c == GRID_GREY || c == BLACK ? 0 : 1;
            }
            EXPECT_GE(pure, 1) << (vertical ? "vertical" : "horizontal") << " line lost its colour";
            EXPECT_LE(pure, Reach(1)) << (vertical ? "vertical" : "horizontal");
            EXPECT_LE(blended, 2) << (vertical ? "vertical" : "horizontal") << " line smeared";
        }
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

    void Xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        ASSERT_EQ(RunCommand(arguments, XEnvironment()), 0) << "xdotool " << arguments[1] << " failed";
    }

    void MoveBy(int32_t dx, int32_t dy) {
        Xdotool({"mousemove_relative", "--", std::to_string(dx), std::to_string(dy)});
        SleepSeconds(0.3);
    }

    // X button 1 is the game's button 1, X button 3 (the right one) its button 2.
    void Click(int xButton) {
        Xdotool({"mousedown", std::to_string(xButton)});
        SleepSeconds(HOLD_SECONDS);
        Xdotool({"mouseup", std::to_string(xButton)});
        SleepSeconds(AFTER_CLICK_SECONDS);
    }

    void TapKey(const std::string& key) {
        Xdotool({"keydown", key});
        SleepSeconds(HOLD_SECONDS);
        Xdotool({"keyup", key});
    }

    void ExpectEndsWithStatusZero(double seconds) {
        const double start = MonotonicSeconds();
        const std::optional<int> status = WaitForExit(game, seconds);
        ASSERT_TRUE(status.has_value()) << "still running after " << seconds << " s";
        game = -1;
        EXPECT_EQ(*status, 0);
        EXPECT_LE(MonotonicSeconds() - start, seconds);
        // The screen is given back: the window is gone and pointer and keyboard are free.
        EXPECT_EQ(FindWindowByTitle(x, "Karnolt"), Window{0});
        EXPECT_TRUE(InputIsFree(x));
        ExpectNoSanitizerFinding();
    }

    // Leaks end a sanitized game with status 0 here (the system libraries keep
    // some blocks to the end); a report that reaches into the game's own code,
    // or any other sanitizer error, is a failure.
    void ExpectNoSanitizerFinding() const {
        const std::string log = GameLog();
        EXPECT_EQ(log.find("runtime error:"), std::string::npos) << log;
        EXPECT_EQ(log.find("ERROR: AddressSanitizer"), std::string::npos) << log;
        std::size_t at = 0;
        while ((at = log.find("leak of ", at)) != std::string::npos) {
            const std::size_t end = std::min(log.find("leak of ", at + 1), log.find("SUMMARY:", at));
            const std::string report =
                log.substr(at, end == std::string::npos ? std::string::npos : end - at);
            EXPECT_EQ(report.find(KARNOLT_SOURCE_DIR), std::string::npos) << report;
            EXPECT_EQ(report.find(KARNOLT_GAME), std::string::npos) << report;
            at += 8;
        }
    }
};

TEST_F(RealDisplay, BuildsSimulatesStopsAndEndsOnEscape) {
    ASSERT_NO_FATAL_FAILURE(StartGame());
    const ScreenShot stopped = last;

    // A triangle: anchor (32, 40) to joint (34, 37) to anchor (35, 40); button 2 ends the chain.
    ASSERT_NO_FATAL_FAILURE(MoveBy(NodeX(32) - START_X, NodeY(40) - START_Y));
    ASSERT_NO_FATAL_FAILURE(Click(1));
    ASSERT_NO_FATAL_FAILURE(MoveBy(NodeX(34) - NodeX(32), NodeY(37) - NodeY(40)));
    ASSERT_NO_FATAL_FAILURE(Click(1));
    ASSERT_NO_FATAL_FAILURE(MoveBy(NodeX(35) - NodeX(34), NodeY(40) - NodeY(37)));
    ASSERT_NO_FATAL_FAILURE(Click(1));
    ASSERT_NO_FATAL_FAILURE(Click(3));
    ASSERT_NO_FATAL_FAILURE(MoveBy(300, -200));  // the pointer away from the beams

    const int32_t mid1X = (NodeX(32) + NodeX(34)) / 2;
    const int32_t mid2X = (NodeX(34) + NodeX(35)) / 2;
    const int32_t midY = (NodeY(40) + NodeY(37)) / 2;
    const auto green = [](Rgb c) { return c == NO_FORCE_GREEN; };
    const auto loaded = [](Rgb c) { return IsForceColour(c) && !(c == NO_FORCE_GREEN); };
    const auto bothGreen = [&](const ScreenShot& shot) {
        return CountAround(shot, mid1X, midY, 1, green) > 0 && CountAround(shot, mid2X, midY, 1, green) > 0;
    };
    ASSERT_TRUE(WaitForScreen(CHANGE_SECONDS, bothGreen))
        << "the two beams are not drawn in the no-force green";

    // Enter: the state line changes and the loaded beams change colour.
    ASSERT_NO_FATAL_FAILURE(TapKey("Return"));
    EXPECT_TRUE(WaitForScreen(CHANGE_SECONDS, [&](const ScreenShot& shot) {
        return DifferentPixels(shot, stopped, 0, STATE_LINE_TOP, STATE_LINE_RIGHT, STATE_LINE_BOTTOM) > 0;
    })) << "the state line did not change";
    EXPECT_TRUE(WaitForScreen(CHANGE_SECONDS, [&](const ScreenShot& shot) {
        return CountAround(shot, mid1X, midY, 2, green) == 0 &&
               CountAround(shot, mid1X, midY, 2, loaded) > 0 &&
               CountAround(shot, mid2X, midY, 2, green) == 0 && CountAround(shot, mid2X, midY, 2, loaded) > 0;
    })) << "the beams did not change colour";

    // Enter again: back at rest, all green, the state line as before.
    ASSERT_NO_FATAL_FAILURE(TapKey("Return"));
    EXPECT_TRUE(WaitForScreen(CHANGE_SECONDS, [&](const ScreenShot& shot) {
        return bothGreen(shot) &&
               DifferentPixels(shot, stopped, 0, STATE_LINE_TOP, STATE_LINE_RIGHT, STATE_LINE_BOTTOM) == 0;
    })) << "stopping did not restore the beams and the state line";

    EXPECT_FALSE(InputIsFree(x)) << "the game does not hold the mouse while it runs";
    Xdotool({"keydown", "Escape"});
    ExpectEndsWithStatusZero(1.0);
    Xdotool({"keyup", "Escape"});
}

// A 1080p screen without a window manager: the picture 1.40625 times as large,
// centred between bars, and the game played there by mouse and keyboard.
TEST_F(RealDisplay, FillsAWideScreenCrisplyAndPlaysThere) {
    UseScreen(1920, 1080);
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ExpectCentredBetweenBars(last);
    ExpectCrispGridLines(last);

    // One beam, anchor (32, 40) to joint (34, 37); button 2 ends the chain.
    ASSERT_NO_FATAL_FAILURE(MoveBy(NodeX(32) - START_X, NodeY(40) - START_Y));
    ASSERT_NO_FATAL_FAILURE(Click(1));
    ASSERT_NO_FATAL_FAILURE(MoveBy(NodeX(34) - NodeX(32), NodeY(37) - NodeY(40)));
    ASSERT_NO_FATAL_FAILURE(Click(1));
    ASSERT_NO_FATAL_FAILURE(Click(3));
    ASSERT_NO_FATAL_FAILURE(MoveBy(300, -200));
    const int32_t midX = ScreenX((NodeX(32) + NodeX(34)) / 2);
    const int32_t midY = ScreenY((NodeY(40) + NodeY(37)) / 2);
    EXPECT_TRUE(WaitForScreen(CHANGE_SECONDS, [&](const ScreenShot& shot) {
        return CountAround(shot, midX, midY, Reach(1) + 1, [](Rgb c) { return c == NO_FORCE_GREEN; }) > 0;
    })) << "the beam is not drawn in the no-force green";

    Xdotool({"keydown", "Escape"});
    ExpectEndsWithStatusZero(2.0);
    Xdotool({"keyup", "Escape"});
}

// Twice the game's size: every game pixel an exact 2 x 2 block, no bars.
TEST_F(RealDisplay, TwiceTheSizeShowsExactBlocks) {
    UseScreen(2048, 1536);
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ExpectCentredBetweenBars(last);
    int uneven = 0;
    for (int32_t y = 0; y < last.height; y += 2) {
        for (int32_t xx = 0; xx < last.width; xx += 2) {
            const Rgb c = last.At(xx, y);
            uneven +=
                c == last.At(xx + 1, y) && c == last.At(xx, y + 1) && c == last.At(xx + 1, y + 1) ? 0 : 1;
        }
    }
    EXPECT_EQ(uneven, 0) << "2 x 2 blocks that are not one colour";
    EXPECT_EQ(last.At(2 * 100, 2 * 150), GRID_GREY);
}

// The texture path (Mesa's software OpenGL here) and the window surface show the
// same picture on a 1080p screen, each centred and crisp on its own.
TEST_F(RealDisplay, BothPresentationPathsShowTheSamePicture) {
    UseScreen(1920, 1080);
    struct Path {
        const char* name;
        const char* reported;
    };
    std::vector<ScreenShot> shots;
    for (const Path path : {Path{"surface", "presenting through the window surface"},
                            Path{"texture", "presenting through the texture path (renderer opengl"}}) {
        SCOPED_TRACE(path.name);
        ASSERT_NO_FATAL_FAILURE(StartGame({{"KARNOLT_PRESENT", path.name}}));
        EXPECT_NE(GameLog().find(path.reported), std::string::npos) << GameLog();
        ExpectCentredBetweenBars(last);
        ExpectCrispGridLines(last);
        shots.push_back(last);
        StopProcess(game);
        game = -1;
    }
    // Below the frame-rate line, which may differ between the two runs.
    int different = 0;
    for (int32_t y = ScreenY(16); y < screenHeight; ++y) {
        for (int32_t xx = 0; xx < screenWidth; ++xx) {
            const Rgb a = shots[0].At(xx, y);
            const Rgb b = shots[1].At(xx, y);
            different +=
                std::abs(a.r - b.r) > 2 || std::abs(a.g - b.g) > 2 || std::abs(a.b - b.b) > 2 ? 1 : 0;
        }
    }
    EXPECT_EQ(different, 0) << "pixels that differ by more than 2 in a colour channel";
}

TEST_F(RealDisplay, EndsOnWindowCloseRequest) {
    ASSERT_NO_FATAL_FAILURE(StartGame());
    EXPECT_FALSE(InputIsFree(x));
    ASSERT_TRUE(SendCloseRequest(x, FindWindowByTitle(x, "Karnolt")));
    ExpectEndsWithStatusZero(2.0);
}

TEST_F(RealDisplay, EndsOnSigterm) {
    ASSERT_NO_FATAL_FAILURE(StartGame());
    EXPECT_FALSE(InputIsFree(x));
    ASSERT_EQ(kill(game, SIGTERM), 0);
    ExpectEndsWithStatusZero(2.0);
}

}  // namespace
