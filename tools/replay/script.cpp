#include "tools/replay/script.h"

#include <cctype>
#include <charconv>

#include "platform/input.h"
#include "tools/replay/output_name.h"
#include "tools/replay/shown_text.h"

namespace {

// Decimal, with an optional minus sign.
bool ParseInteger(const std::string& token, int64_t low, int64_t high, int64_t& value) {
    const char* last = token.data() + token.size();
    const auto [end, status] = std::from_chars(token.data(), last, value);
    return !token.empty() && status == std::errc() && end == last && value >= low && value <= high;
}

// "escape", "return", "delete" or 0x followed by exactly two hexadecimal digits.
bool ParseScanCode(const std::string& token, int64_t& code) {
    if (token == "escape") {
        code = SCAN_ESCAPE;
        return true;
    }
    if (token == "return") {
        code = SCAN_RETURN;
        return true;
    }
    if (token == "delete") {
        code = SCAN_DELETE;
        return true;
    }
    if (token.size() != 4 || token.compare(0, 2, "0x") != 0 ||
        !std::isxdigit(static_cast<unsigned char>(token[2])) ||
        !std::isxdigit(static_cast<unsigned char>(token[3]))) {
        return false;
    }
    const auto [end, status] = std::from_chars(token.data() + 2, token.data() + 4, code, 16);
    return status == std::errc() && end == token.data() + 4;
}

struct Keyword {
    const char* word;
    CommandKind kind;
    int arguments;
};

constexpr Keyword KEYWORDS[] = {
    {"mouse", CommandKind::MOUSE, 2},     {"press", CommandKind::PRESS, 1},
    {"release", CommandKind::RELEASE, 1}, {"keydown", CommandKind::KEY_DOWN, 1},
    {"keyup", CommandKind::KEY_UP, 1},    {"inactive", CommandKind::INACTIVE, 0},
    {"active", CommandKind::ACTIVE, 0},   {"frames", CommandKind::FRAMES, 1},
    {"shot", CommandKind::SHOT, 1},       {"state", CommandKind::STATE, 1},
};

// Returns the reason a line is refused, or "" when `command` was filled in.
std::string ParseLine(const std::vector<std::string>& tokens, ScriptCommand& command) {
    const Keyword* keyword = nullptr;
    for (const Keyword& k : KEYWORDS) {
        if (tokens[0] == k.word) keyword = &k;
    }
    if (keyword == nullptr) return std::string("unknown command ").append(ShowText(tokens[0]));
    const int given = static_cast<int>(tokens.size()) - 1;
    if (given != keyword->arguments) {
        return "'" + tokens[0] + "' takes " + std::to_string(keyword->arguments) + " argument(s), got " +
               std::to_string(given);
    }
    command.kind = keyword->kind;
    switch (keyword->kind) {
        case CommandKind::MOUSE:
            if (!ParseInteger(tokens[1], -MAX_MOTION, MAX_MOTION, command.first) ||
                !ParseInteger(tokens[2], -MAX_MOTION, MAX_MOTION, command.second)) {
                return "mouse motion must be two integers from -" + std::to_string(MAX_MOTION) + " to " +
                       std::to_string(MAX_MOTION);
            }
            break;
        case CommandKind::PRESS:
        case CommandKind::RELEASE:
            if (!ParseInteger(tokens[1], 1, 3, command.first)) return "button must be 1, 2 or 3";
            break;
        case CommandKind::KEY_DOWN:
        case CommandKind::KEY_UP:
            if (!ParseScanCode(tokens[1], command.first)) {
                return "key must be escape, return, delete or a scan code 0x00..0xff";
            }
            break;
        case CommandKind::FRAMES:
            if (!ParseInteger(tokens[1], 1, MAX_FRAMES_PER_COMMAND, command.first)) {
                return "frames takes a count from 1 to " + std::to_string(MAX_FRAMES_PER_COMMAND);
            }
            break;
        case CommandKind::SHOT:
        case CommandKind::STATE:
            command.file = tokens[1];
            return CheckOutputName(command.file);
        case CommandKind::INACTIVE:
        case CommandKind::ACTIVE:
            break;
    }
    return "";
}

// Words are separated by blanks; a carriage return (a Windows line end) is one too.
std::vector<std::string> SplitWords(const std::string& text) {
    constexpr const char* BLANKS = " \t\v\f\r";
    std::vector<std::string> words;
    for (std::size_t start = text.find_first_not_of(BLANKS); start != std::string::npos;) {
        const std::size_t end = text.find_first_of(BLANKS, start);
        words.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? end : text.find_first_not_of(BLANKS, end);
    }
    return words;
}

enum class LineRead { LINE, END, TOO_LONG, UNREADABLE };

// The next line without its newline, read through a buffer of the longest allowed
// line, so an endless line is never held whole. `total` counts the bytes read.
LineRead ReadLine(std::istream& in, std::string& text, std::size_t& total) {
    char buffer[MAX_LINE_BYTES + 2];
    in.getline(buffer, sizeof buffer);
    if (in.bad()) return LineRead::UNREADABLE;
    const auto count = static_cast<std::size_t>(in.gcount());
    total += count;
    if (count == 0) return LineRead::END;  // at the end, or nothing more can be read
    const bool newline = !in.fail() && !in.eof();
    const std::size_t length = count - (newline ? 1 : 0);
    if (length > MAX_LINE_BYTES) return LineRead::TOO_LONG;
    text.assign(buffer, length);
    return LineRead::LINE;
}

}  // namespace

bool ParseScript(std::istream& in, const std::string& name, std::vector<ScriptCommand>& commands,
                 std::string& error) {
    std::string text;
    std::size_t total = 0;
    for (int32_t lineNumber = 1;; ++lineNumber) {
        const auto refuse = [&](const std::string& reason) {
            error = name + ":" + std::to_string(lineNumber) + ": " + reason;
            return false;
        };
        const LineRead read = ReadLine(in, text, total);
        if (read == LineRead::END) return true;
        if (read == LineRead::UNREADABLE) {
            error = name + ": cannot be read";
            return false;
        }
        if (total > MAX_SCRIPT_BYTES) {
            return refuse("the script is longer than " + std::to_string(MAX_SCRIPT_BYTES >> 20) + " MiB");
        }
        if (read == LineRead::TOO_LONG) {
            return refuse("the line is longer than " + std::to_string(MAX_LINE_BYTES) + " bytes");
        }
        if (text.find('\0') != std::string::npos) return refuse("the line holds a NUL byte");
        if (lineNumber == 1 && text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
        const std::size_t comment = text.find('#');
        if (comment != std::string::npos) text.erase(comment);
        const std::vector<std::string> tokens = SplitWords(text);
        if (tokens.empty()) continue;
        ScriptCommand command{};
        command.line = lineNumber;
        const std::string reason = ParseLine(tokens, command);
        if (!reason.empty()) return refuse(reason);
        commands.push_back(command);
    }
}
