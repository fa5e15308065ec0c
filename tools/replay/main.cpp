// karnolt-replay [--level FILE] [--out DIR] SCRIPT
// The game's start-up and frame loop on the headless back end, driven by a script.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/level.h"
#include "model/game_state.h"
#include "platform/headless.h"
#include "tools/replay/output.h"
#include "tools/replay/output_name.h"
#include "tools/replay/script.h"
#include "tools/replay/shown_text.h"

namespace {

constexpr int EXIT_LEVEL = 1;
constexpr int EXIT_USAGE = 2;

// A bad command line: the problem and how the tool is called.
int Usage(const std::string& problem) {
    std::fprintf(stderr, "karnolt-replay: %s\nusage: karnolt-replay [--level FILE] [--out DIR] SCRIPT\n",
                 problem.c_str());
    return EXIT_USAGE;
}

// A bad script or output folder: one line naming the file and the reason.
int Refuse(const std::string& problem) {
    std::fprintf(stderr, "karnolt-replay: %s\n", problem.c_str());
    return EXIT_USAGE;
}

struct Options {
    std::string level;
    std::filesystem::path out = ".";
    std::string script;
};

bool ParseArguments(int argc, char** argv, Options& options, std::string& problem) {
    for (int k = 1; k < argc; ++k) {
        const std::string argument = argv[k];
        if (argument == "--level" || argument == "--out") {
            if (k + 1 >= argc) {
                problem = argument + " needs a value";
                return false;
            }
            const std::string value = argv[++k];
            // An empty name would quietly mean the default level or the current folder.
            if (value.empty()) {
                problem = argument + " needs a non-empty value";
                return false;
            }
            if (argument == "--level") {
                options.level = value;
            } else {
                options.out = value;
            }
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "-") {
            problem = std::string("unknown option ").append(ShowText(argument));
            return false;
        } else if (!options.script.empty()) {
            problem = "only one SCRIPT may be given";
            return false;
        } else {
            options.script = argument;
        }
    }
    if (options.script.empty()) problem = "no SCRIPT given";
    return problem.empty();
}

// Before the first frame runs: why a file the script writes could not be written in
// the output folder, or "" when every one can.
std::string CheckOutputFolders(const std::vector<ScriptCommand>& commands, const Options& options) {
    for (const ScriptCommand& command : commands) {
        if (command.kind != CommandKind::SHOT && command.kind != CommandKind::STATE) continue;
        const std::string reason = CheckOutputFolder(options.out, command.file);
        if (!reason.empty()) return options.script + ":" + std::to_string(command.line) + ": " + reason;
    }
    return "";
}

// Runs the parsed script. Returns the exit status.
int Run(const std::vector<ScriptCommand>& commands, const Options& options) {
    int64_t framesRun = 0;
    for (const ScriptCommand& command : commands) {
        const std::filesystem::path file = options.out / command.file;
        std::string failure;
        switch (command.kind) {
            case CommandKind::MOUSE:
                if (command.first != 0) HeadlessQueueMotionX(static_cast<int32_t>(command.first));
                if (command.second != 0) HeadlessQueueMotionY(static_cast<int32_t>(command.second));
                break;
            case CommandKind::PRESS:
            case CommandKind::RELEASE:
                HeadlessQueueButton(static_cast<int32_t>(command.first), command.kind == CommandKind::PRESS);
                break;
            case CommandKind::KEY_DOWN:
            case CommandKind::KEY_UP:
                HeadlessSetKey(static_cast<int32_t>(command.first), command.kind == CommandKind::KEY_DOWN);
                break;
            case CommandKind::INACTIVE:
            case CommandKind::ACTIVE:
                HeadlessSetActive(command.kind == CommandKind::ACTIVE);
                break;
            case CommandKind::FRAMES:
                for (int64_t k = 0; k < command.first; ++k) {
                    if (!RunFrame()) {
                        Shutdown();
                        return 0;
                    }
                    ++framesRun;
                }
                break;
            case CommandKind::SHOT:
                failure = WriteScreenshot(file.string());
                break;
            case CommandKind::STATE:
                failure = WriteStateJson(file.string(), framesRun);
                break;
        }
        if (!failure.empty()) {
            std::fprintf(stderr, "karnolt-replay: %s:%d: %s\n", options.script.c_str(), command.line,
                         failure.c_str());
            Shutdown();
            return EXIT_USAGE;
        }
    }
    Shutdown();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string problem;
    if (!ParseArguments(argc, argv, options, problem)) return Usage(problem);

    std::vector<ScriptCommand> commands;
    std::string error;
    if (options.script == "-") {
        if (!ParseScript(std::cin, "<stdin>", commands, error)) return Refuse(error);
    } else {
        std::ifstream in(options.script);
        if (!in) return Refuse(options.script + ": cannot be opened");
        if (!ParseScript(in, options.script, commands, error)) return Refuse(error);
    }
    std::error_code ignored;
    if (!std::filesystem::is_directory(options.out, ignored)) {
        return Refuse(options.out.string() + ": not a directory");
    }
    error = CheckOutputFolders(commands, options);
    if (!error.empty()) return Refuse(error);

    game.levelFileOverride = options.level;
    if (StartUp() != 0) return EXIT_LEVEL;
    return Run(commands, options);
}
