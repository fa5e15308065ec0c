// libFuzzer harness for the replay script parser: any bytes either parse to commands
// whose every value is in range and whose every output name stays inside --out, or are
// refused with one line of printable ASCII that names the script and the line.
#include <cstdlib>
#include <sstream>

#include "tools/replay/output_name.h"
#include "tools/replay/script.h"

namespace {

bool InRange(int64_t value, int64_t low, int64_t high) {
    return value >= low && value <= high;
}

bool Valid(const ScriptCommand& command) {
    switch (command.kind) {
        case CommandKind::MOUSE:
            return InRange(command.first, -MAX_MOTION, MAX_MOTION) &&
                   InRange(command.second, -MAX_MOTION, MAX_MOTION);
        case CommandKind::PRESS:
        case CommandKind::RELEASE:
            return InRange(command.first, 1, 3);
        case CommandKind::KEY_DOWN:
        case CommandKind::KEY_UP:
            return InRange(command.first, 0, 0xff);
        case CommandKind::FRAMES:
            return InRange(command.first, 1, MAX_FRAMES_PER_COMMAND);
        case CommandKind::SHOT:
        case CommandKind::STATE:
            return CheckOutputName(command.file).empty() && command.file.find('\0') == std::string::npos;
        case CommandKind::INACTIVE:
        case CommandKind::ACTIVE:
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<ScriptCommand> commands;
    std::string error;
    if (ParseScript(in, "fuzz.replay", commands, error)) {
        if (!error.empty()) std::abort();
        int32_t line = 0;
        for (const ScriptCommand& command : commands) {
            if (command.line <= line || !Valid(command)) std::abort();
            line = command.line;
        }
        return 0;
    }
    // One line, nothing a terminal would act on, and never the whole offending text.
    if (error.rfind("fuzz.replay:", 0) != 0 || error.size() > 200) std::abort();
    for (const char c : error) {
        if (c < 0x20 || c > 0x7e) std::abort();
    }
    return 0;
}
