// Replay scripts: scripted input, frames to run and what to write, parsed whole
// before anything runs.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

enum class CommandKind { MOUSE, PRESS, RELEASE, KEY_DOWN, KEY_UP, INACTIVE, ACTIVE, FRAMES, SHOT, STATE };

struct ScriptCommand {
    CommandKind kind;
    int64_t first = 0;   // DX, button, scan code or frame count
    int64_t second = 0;  // DY
    std::string file;    // for shot and state
    int32_t line = 0;
};

inline constexpr int64_t MAX_FRAMES_PER_COMMAND = 10000000;
// Large enough for any real motion, small enough that a full event buffer cannot overflow a sum.
inline constexpr int64_t MAX_MOTION = 10000000;

// Parses the whole script. On the first bad line returns false with `error` set to
// "<name>:<line>: <reason>".
bool ParseScript(std::istream& in, const std::string& name, std::vector<ScriptCommand>& commands,
                 std::string& error);
