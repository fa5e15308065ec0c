// Sprite images: the bitmap decoder through LoadSpriteImage and its refusals. Every
// depth's pixels and padded rows are read back by the level tests.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "tests/platform/platform_test.h"

// The fuzzer's seed files: valid_<depth>_<width>x<height>.bmp, and bad_<reason>.bmp.
TEST_F(PlatformTest, AcceptsTheValidSeedsAndRefusesTheBadOnesWithAOneLineReason) {
    std::map<std::string, std::string> reasons = {
        // clang-format off
        {"bad_8bit.bmp", "8 bits per pixel are not supported"}, {"bad_compressed.bmp", "compressed"},
        {"bad_huge.bmp", "too large"}, {"bad_magic.bmp", "not a bitmap"},
        {"bad_negative_height.bmp", "negative height"}, {"bad_offset.bmp", "outside the file"},
        {"bad_truncated_header.bmp", "too short for its headers"},
        {"bad_truncated_rows.bmp", "too short for its 5 rows"},
        {"bad_zero_height.bmp", "invalid size 3 x 0"}, {"bad_zero_width.bmp", "invalid size 0 x 4"},
        // clang-format on
    };
    const std::string good = WriteBitmap("good.bmp", 5, 4, 24), missing = good + ".missing";
    reasons[missing] = "cannot be opened";
    // A pipe would keep a reader waiting for its end.
    const std::string pipe = good + ".pipe";
    std::filesystem::remove(pipe);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    reasons[pipe] = reasons[KARNOLT_SOURCE_DIR "/fuzz"] = "not a regular file";
    std::vector<std::string> paths = {missing, pipe, KARNOLT_SOURCE_DIR "/fuzz"};
    for (const auto& entry : std::filesystem::directory_iterator(KARNOLT_SOURCE_DIR "/fuzz/corpus")) {
        paths.push_back(entry.path().string());
    }
    int32_t valid = 0;
    for (const std::string& path : paths) {
        // A good image first, so a refusal must also unload it.
        ASSERT_EQ(LoadSpriteImage(3, good.c_str(), SPRITE_MODE_TEXTURE), 1);
        const std::string name = std::filesystem::path(path).filename().string();
        int32_t depth = 0, width = 0, height = 0;
        if (std::sscanf(name.c_str(), "valid_%d_%dx%d.bmp", &depth, &width, &height) == 3) {
            valid += LoadSpriteImage(3, path.c_str(), SPRITE_MODE_TEXTURE);
            EXPECT_EQ(LastSpriteError(), "");
            EXPECT_EQ(std::pair(GetSpriteWidth(3), GetSpriteHeight(3)), std::pair(width, height)) << name;
            continue;
        }
        const std::string reason = reasons.count(name) != 0 ? reasons.at(name) : reasons.at(path);
        EXPECT_EQ(LoadSpriteImage(3, path.c_str(), SPRITE_MODE_TEXTURE), 0) << name;
        EXPECT_EQ(std::pair(GetSpriteWidth(3), GetSpriteHeight(3)), std::pair(0, 0)) << name;
        EXPECT_EQ(SpriteTarget(3).kind, DRAW_TARGET_NONE);
        EXPECT_EQ(LastSpriteError().rfind(path + ": ", 0), 0u) << LastSpriteError();
        EXPECT_NE(LastSpriteError().find(reason), std::string::npos) << LastSpriteError();
        EXPECT_EQ(LastSpriteError().find('\n'), std::string::npos) << LastSpriteError();
    }
    EXPECT_EQ(std::pair(valid, paths.size()), std::pair(5, reasons.size() + 5));
}
