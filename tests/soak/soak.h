// The soak runner's parts: world checks, a random player, the free-fall run.
#pragma once

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

using NodeIndex = std::pair<int32_t, int32_t>;

// The white pixels of an uncompressed 24- or 32-bit bitmap, as node indices
// (column, row from the top). Empty with `error` set when the file is unusable.
std::set<NodeIndex> ReadLevelAnchors(const std::string& path, std::string& error);

// "" when the world is sound, else one line saying what is wrong.
std::string CheckWorld(const std::set<NodeIndex>& levelAnchors);

// Random input of a player who never presses Escape, queued one frame ahead.
struct RandomPlayer {
    std::mt19937_64 rng;
    int32_t heldButton = 0;
    int32_t holdFramesLeft = 0;
    int32_t enterFramesLeft = 0;
    int32_t deleteFramesLeft = 0;
    int32_t inactiveFramesLeft = 0;
    bool targetIsNode = false;
    int32_t targetX = 512;  // screen pixel, or node index while targetIsNode
    int32_t targetY = 384;
    int32_t targetFramesLeft = 0;
    int32_t clickOnArrival = 0;  // button to click once the target is reached, or 0
    int64_t presses = 0;
    int64_t enterTaps = 0;
    int64_t deleteHolds = 0;
    int64_t deactivations = 0;
    int64_t overflows = 0;
};

void QueueRandomInput(RandomPlayer& player);

// The pixels of the last presented frame.
std::vector<uint32_t> PresentedFrame();

struct FreeFallResult {
    std::string error;  // "" when every check held
    float fallenY = 0;
    int64_t fullFrames = 0;
    int64_t beamsBuilt = 0;
};

// A joint left without beams falls for `frames` frames while beams of every
// length are built; the whole game frame runs every `fullEvery` frames, the
// simulation step alone in between.
FreeFallResult RunFreeFall(int64_t frames, int64_t fullEvery, const std::set<NodeIndex>& levelAnchors);
