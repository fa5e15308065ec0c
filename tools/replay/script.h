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
// Far beyond any real script, small enough that a bad file cannot fill the memory
// or keep the tool reading for long: it is refused as soon as a limit is passed.
inline constexpr std::size_t MAX_SCRIPT_BYTES = 16u << 20;
inline constexpr std::size_t MAX_LINE_BYTES = 4096;

// Parses the whole script: a leading UTF-8 byte-order mark is skipped, output names
// are checked with CheckOutputName. On the first bad line returns false with `error`
// set to "<name>:<line>: <reason>" (offending text shown with ShowText).
bool ParseScript(std::istream& in, const std::string& name, std::vector<ScriptCommand>& commands,
                 std::string& error);
