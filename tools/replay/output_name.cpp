#include "tools/replay/output_name.h"

#include "tools/replay/shown_text.h"

std::string CheckOutputName(const std::string& name) {
    const std::filesystem::path path(name);
    const std::string shown = ShowText(name);
    if (path.is_absolute()) return shown + " is absolute; files are named relative to --out";
    for (const std::filesystem::path& part : path) {
        if (part == "..") return shown + " leaves the --out folder through '..'";
    }
    if (!path.has_filename() || path.filename() == ".") return shown + " names a folder, not a file";
    return "";
}

std::string CheckOutputFolder(const std::filesystem::path& out, const std::string& name) {
    const std::filesystem::path file = out / name;
    std::error_code error;
    if (!std::filesystem::is_directory(file.parent_path(), error)) {
        return ShowText(name) + " cannot be written: its folder does not exist in " + out.string();
    }
    if (std::filesystem::is_directory(file, error)) return ShowText(name) + " is a folder";
    return "";
}
