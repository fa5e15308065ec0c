// Whole frames made by the replay tool, compared pixel for pixel with pictures
// kept in tests/reference, and its state dumps compared line for line. Each
// picture was checked by eye once; after a deliberate change to what the game
// shows, KARNOLT_REWRITE_REFERENCES=1 writes them anew.
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
    const Surface shown = Decode(made);
    const Surface expected = Decode(reference);
    ASSERT_EQ(shown.width, expected.width);
    ASSERT_EQ(shown.height, expected.height);
    int64_t differing = 0;
    for (std::size_t k = 0; k < shown.pixels.size(); ++k) {
        if (shown.pixels[k] == expected.pixels[k]) continue;
        if (differing++ == 0) {
            ADD_FAILURE() << reference.filename() << ": first difference at (" << k % shown.width << ", "
                          << k / shown.width << "): " << fixture::ColourOf(shown.pixels[k]) << " instead of "
                          << fixture::ColourOf(expected.pixels[k]);
        }
    }
    EXPECT_EQ(differing, 0) << "pixels differ from " << reference;
}

TEST(ReferenceFrameTest, StartScreenAndRunningBridge) {
    const std::pair<std::filesystem::path, std::string> runs[] = {
        {SOURCE / "tests/reference/start.replay", "start"},
        {SOURCE / "docs/bridge.replay", "bridge"},
    };
    const bool rewrite = std::getenv("KARNOLT_REWRITE_REFERENCES") != nullptr;
    for (const auto& [script, name] : runs) {
        const std::filesystem::path out = fixture::TempFolder();
        const std::string command = std::string(KARNOLT_REPLAY) + " --level " +
                                    (SOURCE / "data/Level1.bmp").string() + " --out " + out.string() + " " +
                                    script.string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        for (const std::string& file : {name + ".bmp", name + ".json"}) {
            const std::filesystem::path reference = SOURCE / "tests/reference" / file;
            if (rewrite)
                std::filesystem::copy_file(out / file, reference,
                                           std::filesystem::copy_options::overwrite_existing);
        }
        ExpectSamePicture(out / (name + ".bmp"), SOURCE / "tests/reference" / (name + ".bmp"));
        EXPECT_EQ(ReadFile(out / (name + ".json")), ReadFile(SOURCE / "tests/reference" / (name + ".json")))
            << "the state dump differs from tests/reference/" << name << ".json";
    }
}

}  // namespace
