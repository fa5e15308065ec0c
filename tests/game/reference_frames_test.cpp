// Scripted sessions run by the replay tool: the frames they shoot and the states
// they dump compared byte for byte with those kept in tests/reference (a frame is a
// BMP: a 54-byte header, then rows of 1024 x 3 bytes, the bottom row first). Each was checked by eye once;
// after a deliberate change to what the game shows or does, scripts/rewrite-references.sh writes them anew.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/support/fixture.h"

namespace {

const std::filesystem::path SOURCE = KARNOLT_SOURCE_DIR;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every script in tests/reference, and the README's bridge; each picture and state
// it writes has a reference of the same name, and each reference is written by one script.
TEST(ReferenceFrameTest, ScriptedSessionsShowAndLeaveWhatTheyDidBefore) {
    std::vector<std::filesystem::path> scripts = {SOURCE / "docs/bridge.replay"};
    std::set<std::filesystem::path> references;
    for (const auto& entry : std::filesystem::directory_iterator(SOURCE / "tests/reference")) {
        const std::filesystem::path extension = entry.path().extension();
        if (extension == ".replay") scripts.push_back(entry.path());
        if (extension == ".bmp" || extension == ".json") references.insert(entry.path().filename());
    }
    for (const std::filesystem::path& script : scripts) {
        const std::filesystem::path out = fixture::TempFolder() / script.stem();
        std::filesystem::create_directories(out);
        const std::string command = std::string(KARNOLT_REPLAY) + " --level " +
                                    (SOURCE / "data/Level1.bmp").string() + " --out " + out.string() + " " +
                                    script.string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_FALSE(std::filesystem::is_empty(out)) << script << " writes nothing to compare";
        for (const auto& made : std::filesystem::directory_iterator(out)) {
            const std::filesystem::path name = made.path().filename();
            if (references.erase(name) == 0) {
                ADD_FAILURE() << name << " from " << script << " has no reference (or has one already)";
                continue;
            }
            const std::string shown = ReadFile(made), expected = ReadFile(SOURCE / "tests/reference" / name);
            const auto at =
                std::mismatch(shown.begin(), shown.end(), expected.begin(), expected.end()).first -
                shown.begin();
            EXPECT_TRUE(shown == expected) << name << " differs from its reference at byte " << at;
        }
    }
    for (const std::filesystem::path& name : references) ADD_FAILURE() << name << " is written by no script";
}

}  // namespace
