// Scripted sessions run by the replay tool: the frames they shoot compared pixel
// for pixel with pictures kept in tests/reference, the states they dump compared
// line for line. Each was checked by eye once; after a deliberate change to what
// the game shows or does, KARNOLT_REWRITE_REFERENCES=1 writes them anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/draw/bitmap_decode.h"
#include "tests/support/fixture.h"

namespace {

const std::filesystem::path SOURCE = KARNOLT_SOURCE_DIR;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Surface Decode(const std::filesystem::path& path) {
    const std::string bytes = ReadFile(path);
    Surface image;
    std::string reason;
    EXPECT_TRUE(DecodeBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, reason))
        << path << ": " << reason;
    return image;
}

void ExpectSamePicture(const std::filesystem::path& made, const std::filesystem::path& reference) {
    const Surface shown = Decode(made), expected = Decode(reference);
    std::size_t k = 0;
    while (k < shown.pixels.size() && k < expected.pixels.size() && shown.pixels[k] == expected.pixels[k])
        ++k;
    EXPECT_TRUE(shown.pixels == expected.pixels && shown.width == expected.width)
        << reference.filename() << " differs first at (" << k % 1024 << ", " << k / 1024 << ")";
}

// Every script in tests/reference, and the README's bridge; each picture and state
// it writes has a reference of the same name.
TEST(ReferenceFrameTest, ScriptedSessionsShowAndLeaveWhatTheyDidBefore) {
    std::vector<std::filesystem::path> scripts = {SOURCE / "docs/bridge.replay"};
    for (const auto& entry : std::filesystem::directory_iterator(SOURCE / "tests/reference")) {
        if (entry.path().extension() == ".replay") scripts.push_back(entry.path());
    }
    const bool rewrite = std::getenv("KARNOLT_REWRITE_REFERENCES") != nullptr;
    for (const std::filesystem::path& script : scripts) {
        const std::filesystem::path out = fixture::TempFolder() / script.stem();
        std::filesystem::create_directories(out);
        const std::string command = std::string(KARNOLT_REPLAY) + " --level " +
                                    (SOURCE / "data/Level1.bmp").string() + " --out " + out.string() + " " +
                                    script.string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        for (const auto& made : std::filesystem::directory_iterator(out)) {
            const std::filesystem::path reference = SOURCE / "tests/reference" / made.path().filename();
            if (rewrite)
                std::filesystem::copy_file(made, reference,
                                           std::filesystem::copy_options::overwrite_existing);
            if (made.path().extension() == ".bmp") {
                ExpectSamePicture(made, reference);
            } else {
                EXPECT_EQ(ReadFile(made), ReadFile(reference)) << "the state differs from " << reference;
            }
        }
    }
}

}  // namespace
