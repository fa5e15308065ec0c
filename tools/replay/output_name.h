// The files a script writes are named relative to the --out folder and stay inside
// it, so a script from elsewhere cannot write anywhere else.
#pragma once

#include <filesystem>
#include <string>

// Both return "" when the file may be written, else the reason it may not.
// The name alone: relative, no ".." component, naming a file rather than a folder.
std::string CheckOutputName(const std::string& name);
// On disk: the file's folder exists below `out` and the name is not a folder there.
std::string CheckOutputFolder(const std::filesystem::path& out, const std::string& name);
