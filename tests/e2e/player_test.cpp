// The player's game on a real X server (Xvfb, SDL's X11 driver), driven from
// outside by synthetic X input (xdotool, through XTest) and checked on the
// screen's pixels: building, simulating, stopping, and every way of ending.
#include <gtest/gtest.h>
#include <signal.h>

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

    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(KARNOLT_SHOT_DIR);
        logPath = std::string(KARNOLT_SHOT_DIR) + "/" + name + ".log";
        const std::string error = StartXServer(x);
        ASSERT_EQ(error, "");
    }

    void TearDown() override {
        if (HasFailure()) {
            const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
            if (x.display != nullptr)
                GrabScreen(x).SavePpm(std::string(KARNOLT_SHOT_DIR) + "/" + name + ".ppm");
            std::ifstream log(logPath);
            std::stringstream text;
            text << log.rdbuf();
            std::cerr << "game output:\n" << text.str() << "screen saved in " << KARNOLT_SHOT_DIR << "\n";
        }
        StopProcess(game);
        StopXServer(x);
    }

    Environment XEnvironment() const { return {{"DISPLAY", x.Name()}}; }

    // Starts the game and waits for its window and its first frame on the screen.
    void StartGame() {
        game = StartProcess(
            {KARNOLT_GAME},
            {{"DISPLAY", x.Name()},
             {"SDL_VIDEODRIVER", "x11"},
             {"LSAN_OPTIONS", "exitcode=0:suppressions=" KARNOLT_E2E_DIR "/lsan_suppressions.txt"}},
            logPath);
        ASSERT_TRUE(WaitForScreen(START_SECONDS, [](const ScreenShot& shot) {
            // The anchor at node (32, 40) and the state line drawn.
            return shot.At(NodeX(32), NodeY(40)) == ANCHOR_WHITE &&
                   CountAround(shot, 100, 726, 6, [](Rgb c) { return c == ANCHOR_WHITE; }) > 0;
        })) << "no game frame on the screen";
        ASSERT_NE(FindWindowByTitle(x, "Karnolt"), Window{0});
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
        std::ifstream file(logPath);
        std::stringstream text;
        text << file.rdbuf();
        const std::string log = text.str();
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
