// Long runs of the whole game on the headless back end, checking that the world
// stays sound: seeded random play, or a joint falling for millions of frames.
//
//   karnolt-soak [--frames N] [--seed S] [--level FILE] [--free-fall [--full-every K]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "game/game.h"
#include "game/level.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/headless.h"
#include "tests/soak/soak.h"

namespace {

constexpr int64_t CHECK_EVERY = 1000;
constexpr int64_t PROGRESS_EVERY = 50'000;

struct Options {
    int64_t frames = 10'000;
    uint64_t seed = 0;
    bool seedGiven = false;
    std::string level = KARNOLT_SOURCE_DIR "/data/Level1.bmp";
    bool freeFall = false;
    int64_t fullEvery = 1000;
};

[[noreturn]] void Refuse(const std::string& reason) {
    std::fprintf(stderr, "karnolt-soak: %s\n", reason.c_str());
    std::exit(2);
}

int64_t ParseCount(const std::string& option, const char* text, int64_t lowest) {
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || value < lowest) {
        Refuse(option + " needs a whole number of at least " + std::to_string(lowest) + ", not '" + text +
               "'");
    }
    return value;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        const bool takesValue =
            option == "--frames" || option == "--seed" || option == "--level" || option == "--full-every";
        if (takesValue && k + 1 >= argc) Refuse(option + " needs a value");
        if (option == "--frames") {
            options.frames = ParseCount(option, argv[++k], 1);
        } else if (option == "--seed") {
            options.seed = static_cast<uint64_t>(ParseCount(option, argv[++k], 0));
            options.seedGiven = true;
        } else if (option == "--level") {
            options.level = argv[++k];
        } else if (option == "--full-every") {
            options.fullEvery = ParseCount(option, argv[++k], 1);
        } else if (option == "--free-fall") {
            options.freeFall = true;
        } else {
            Refuse("unknown option '" + option + "'");
        }
    }
    if (!options.seedGiven) options.seed = std::random_device{}() % 1'000'000'000;
    return options;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int RandomPlay(const Options& options, const std::set<NodeIndex>& anchors,
               std::chrono::steady_clock::time_point start) {
    RandomPlayer player;
    player.rng.seed(options.seed);
    int64_t mostBeams = 0;
    int64_t runningChecks = 0;
    for (int64_t frame = 1; frame <= options.frames; ++frame) {
        QueueRandomInput(player);
        if (!RunFrame()) {
            std::fprintf(stderr, "karnolt-soak: frame %lld (seed %llu): the game ended without Escape\n",
                         static_cast<long long>(frame), static_cast<unsigned long long>(options.seed));
            return 1;
        }
        mostBeams = std::max<int64_t>(mostBeams, CountBeams());
        if (frame % PROGRESS_EVERY == 0) {
            std::printf("karnolt-soak: %lld frames sound after %.0f s, %d beams now\n",
                        static_cast<long long>(frame), SecondsSince(start), CountBeams());
            std::fflush(stdout);
        }
        if (frame % CHECK_EVERY != 0 && frame != options.frames) continue;
        runningChecks += game.simulationRunning;
        const std::string error = CheckWorld(anchors);
        if (!error.empty()) {
            std::fprintf(stderr, "karnolt-soak: frame %lld (seed %llu): %s\n", static_cast<long long>(frame),
                         static_cast<unsigned long long>(options.seed), error.c_str());
            return 1;
        }
    }
    std::printf(
        "karnolt-soak: %lld frames sound; %lld button presses, %lld Enter taps, %lld Delete holds, %lld "
        "deactivations, %lld mouse overflows; up to %lld beams; %lld of the checks while running\n",
        static_cast<long long>(options.frames), static_cast<long long>(player.presses),
        static_cast<long long>(player.enterTaps), static_cast<long long>(player.deleteHolds),
        static_cast<long long>(player.deactivations), static_cast<long long>(player.overflows),
        static_cast<long long>(mostBeams), static_cast<long long>(runningChecks));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    std::string error;
    const std::set<NodeIndex> anchors = ReadLevelAnchors(options.level, error);
    if (!error.empty()) Refuse(error);

    std::printf("karnolt-soak: %s, %lld frames, seed %llu, level %s\n",
                options.freeFall ? "free fall" : "random play", static_cast<long long>(options.frames),
                static_cast<unsigned long long>(options.seed), options.level.c_str());
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    ResetPlatform();
    ResetGame();
    game.levelFileOverride = options.level;
    if (StartUp() != 0) return 1;
    error = CheckWorld(anchors);
    if (!error.empty()) Refuse("after start-up: " + error);

    int status = 0;
    if (options.freeFall) {
        const FreeFallResult result = RunFreeFall(options.frames, options.fullEvery, anchors);
        if (!result.error.empty()) {
            std::fprintf(stderr, "karnolt-soak: %s\n", result.error.c_str());
            status = 1;
        } else {
            std::printf(
                "karnolt-soak: %lld frames sound, %lld of them whole game frames; %lld beams built while "
                "running; the free joint fell to y = %.6g\n",
                static_cast<long long>(options.frames), static_cast<long long>(result.fullFrames),
                static_cast<long long>(result.beamsBuilt), static_cast<double>(result.fallenY));
        }
    } else {
        status = RandomPlay(options, anchors, start);
    }
    Shutdown();
    std::printf("karnolt-soak: %s after %.1f s\n", status == 0 ? "passed" : "FAILED", SecondsSince(start));
    return status;
}
