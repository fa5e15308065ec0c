// Sprite images: the bitmap decoder through LoadSpriteImage, its refusals, the
// sprite table and drawing on a sprite.
#include <climits>
#include <cstdio>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "tests/platform/platform_test.h"

namespace {

// Reads sprite pixels through a drawing on the sprite.
std::vector<uint32_t> SpritePixels(int32_t spriteNumber) {
    std::vector<uint32_t> pixels;
    EXPECT_NE(BeginDraw(SpriteTarget(spriteNumber)), 0);
    for (int32_t i = 0; i < GetSpriteWidth(spriteNumber) * GetSpriteHeight(spriteNumber); ++i) {
        pixels.push_back(ReadPixel(i % GetSpriteWidth(spriteNumber), i / GetSpriteWidth(spriteNumber)));
    }
    EndDraw();
    return pixels;
}

}  // namespace

TEST_F(PlatformTest, DecodesEveryDepthWithPaddedBottomUpRows) {
    for (const int32_t depth : {16, 24, 32}) {
        for (const int32_t width : {1, 2, 3, 5, 7}) {
            const std::string path = WriteBitmap("depth.bmp", width, 3, depth);
            ASSERT_EQ(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_TEXTURE), 1) << LastSpriteError();
            ASSERT_EQ(std::pair(GetSpriteWidth(1), GetSpriteHeight(1)), std::pair(width, 3));
            const std::vector<uint32_t> pixels = SpritePixels(1);
            // 16-bit files keep the top 5 bits of each component.
            const uint32_t mask = depth == 16 ? MakeColour(0xF8, 0xF8, 0xF8) : 0xFFFFFFu;
            for (int32_t i = 0; i < width * 3; ++i) {
                ASSERT_EQ(pixels[i], TestColour(i % width, i / width) & mask) << depth << " bits, " << i;
            }
        }
    }
}

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
    reasons[KARNOLT_SOURCE_DIR "/fuzz"] = "cannot be read";
    std::vector<std::string> paths = {missing, KARNOLT_SOURCE_DIR "/fuzz"};
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
    EXPECT_EQ(valid, 5);
    EXPECT_EQ(paths.size(), reasons.size() + 5);
    EXPECT_EQ(LoadSpriteImage(1, nullptr, SPRITE_MODE_TEXTURE), 0);
    EXPECT_EQ(LastSpriteError(), ": no file name");
}

TEST_F(PlatformTest, SpriteNumbersGrowTheTableAndDrawingOnASpriteStaysInsideItsImage) {
    const std::string small = WriteBitmap("small.bmp", 3, 2, 24), large = WriteBitmap("large.bmp", 9, 6, 32);
    for (const int32_t number : {0, 49, 50, 120, 999}) {
        ASSERT_EQ(LoadSpriteImage(number, large.c_str(), SPRITE_MODE_TEXTURE), 1) << number;
        ASSERT_EQ(LoadSpriteImage(number, small.c_str(), SPRITE_MODE_TEXTURE), 1) << number;  // replaces it
        EXPECT_EQ(std::pair(GetSpriteWidth(number), GetSpriteHeight(number)), std::pair(3, 2)) << number;
    }
    for (const int32_t number : {1, 119, 121, 1000, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(std::pair(GetSpriteWidth(number), GetSpriteHeight(number)), std::pair(0, 0)) << number;
        EXPECT_EQ(SpriteTarget(number).kind, DRAW_TARGET_NONE) << number;
    }
    EXPECT_EQ(LoadSpriteImage(-1, small.c_str(), SPRITE_MODE_TEXTURE) +
                  LoadSpriteImage(INT_MAX, small.c_str(), SPRITE_MODE_TEXTURE),
              0);
    EXPECT_NE(LastSpriteError().find("out of range"), std::string::npos) << LastSpriteError();
    ASSERT_NE(BeginDraw(SpriteTarget(49)), 0);
    EXPECT_EQ(SpriteTarget(50).kind, DRAW_TARGET_NONE);  // one sprite held at a time
    EXPECT_EQ(std::vector({ReadPixel(2, 1), ReadPixel(3, 0), ReadPixel(0, 2)}),
              std::vector({TestColour(2, 1), 0xFFFFFFFFu, 0xFFFFFFFFu}));
    DrawBox(-100, -100, 1000, 1000, MakeColour(9, 9, 9));
    EndDraw();
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);  // the back buffer was not touched
    EXPECT_EQ(SpritePixels(49), std::vector<uint32_t>(6, MakeColour(9, 9, 9)));
    ReleaseDrawing();
    EXPECT_EQ(GetSpriteWidth(120), 0);
}
