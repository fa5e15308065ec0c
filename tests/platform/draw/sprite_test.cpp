// Sprite images: the bitmap decoder through LoadSpriteImage, its refusals, the
// sprite table and drawing on a sprite.
#include <climits>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "tests/platform/platform_test.h"

namespace {

// Reads sprite pixels through a drawing on the sprite.
std::vector<uint32_t> SpritePixels(int32_t spriteNumber) {
    std::vector<uint32_t> pixels;
    EXPECT_NE(BeginDraw(SpriteTarget(spriteNumber)), 0);
    for (int32_t y = 0; y < GetSpriteHeight(spriteNumber); ++y) {
        for (int32_t x = 0; x < GetSpriteWidth(spriteNumber); ++x) pixels.push_back(ReadPixel(x, y));
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
            ASSERT_EQ(GetSpriteWidth(1), width);
            ASSERT_EQ(GetSpriteHeight(1), 3);
            const std::vector<uint32_t> pixels = SpritePixels(1);
            for (int32_t i = 0; i < width * 3; ++i) {
                // 16-bit files keep the top 5 bits of each component.
                const uint32_t mask = depth == 16 ? MakeColour(0xF8, 0xF8, 0xF8) : 0xFFFFFFu;
                ASSERT_EQ(pixels[i], TestColour(i % width, i / width) & mask) << depth << " bits, " << i;
            }
        }
    }
}

// The fuzzer's seed files: valid_<depth>_<width>x<height>.bmp, and bad_<reason>.bmp.
TEST_F(PlatformTest, AcceptsTheValidSeedsAndRefusesTheBadOnesWithAOneLineReason) {
    const std::map<std::string, std::string> reasons = {
        {"bad_8bit.bmp", "8 bits per pixel are not supported"},
        {"bad_compressed.bmp", "compressed"},
        {"bad_huge.bmp", "too large"},
        {"bad_magic.bmp", "not a bitmap"},
        {"bad_negative_height.bmp", "negative height"},
        {"bad_offset.bmp", "outside the file"},
        {"bad_truncated_header.bmp", "too short for its headers"},
        {"bad_truncated_rows.bmp", "too short for its 5 rows"},
        {"bad_zero_height.bmp", "invalid size 3 x 0"},
        {"bad_zero_width.bmp", "invalid size 0 x 4"},
    };
    const std::string good = WriteBitmap("good.bmp", 5, 4, 24);
    int32_t valid = 0, refused = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KARNOLT_SOURCE_DIR "/fuzz/corpus")) {
        const std::string name = entry.path().filename().string(), path = entry.path().string();
        // A good image first, so a refusal must also unload it.
        ASSERT_EQ(LoadSpriteImage(3, good.c_str(), SPRITE_MODE_TEXTURE), 1);
        int32_t depth = 0, width = 0, height = 0;
        if (std::sscanf(name.c_str(), "valid_%d_%dx%d.bmp", &depth, &width, &height) == 3) {
            ++valid;
            EXPECT_EQ(LoadSpriteImage(3, path.c_str(), SPRITE_MODE_TEXTURE), 1) << LastSpriteError();
            EXPECT_EQ(LastSpriteError(), "");
            EXPECT_EQ(GetSpriteWidth(3), width) << name;
            EXPECT_EQ(GetSpriteHeight(3), height) << name;
            continue;
        }
        ++refused;
        ASSERT_EQ(reasons.count(name), 1u) << name;
        EXPECT_EQ(LoadSpriteImage(3, path.c_str(), SPRITE_MODE_TEXTURE), 0) << name;
        EXPECT_EQ(std::pair(GetSpriteWidth(3), GetSpriteHeight(3)), std::pair(0, 0)) << name;
        EXPECT_EQ(SpriteTarget(3).kind, DRAW_TARGET_NONE);
        const std::string& reason = LastSpriteError();
        EXPECT_EQ(reason.rfind(path + ": ", 0), 0u) << reason;
        EXPECT_NE(reason.find(reasons.at(name)), std::string::npos) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
    }
    EXPECT_EQ(valid, 5);
    EXPECT_EQ(refused, static_cast<int32_t>(reasons.size()));

    const std::string missing = ::testing::TempDir() + "no-such-level.bmp", folder = ::testing::TempDir();
    EXPECT_EQ(LoadSpriteImage(1, missing.c_str(), SPRITE_MODE_TEXTURE), 0);
    EXPECT_EQ(LastSpriteError().rfind(missing + ": cannot be opened", 0), 0u) << LastSpriteError();
    EXPECT_EQ(LoadSpriteImage(1, folder.c_str(), SPRITE_MODE_TEXTURE), 0);
    EXPECT_EQ(LastSpriteError().rfind(folder + ": cannot be read", 0), 0u) << LastSpriteError();
    EXPECT_EQ(LoadSpriteImage(1, nullptr, SPRITE_MODE_TEXTURE), 0);
    EXPECT_EQ(LastSpriteError(), ": no file name");
}

TEST_F(PlatformTest, SpriteNumbersGrowTheTableAndUnknownNumbersReadZero) {
    const std::string path = WriteBitmap("table.bmp", 3, 2, 24);
    for (const int32_t number : {0, 49, 50, 120, 999}) {
        ASSERT_EQ(LoadSpriteImage(number, path.c_str(), SPRITE_MODE_TEXTURE), 1) << number;
        EXPECT_EQ(std::pair(GetSpriteWidth(number), GetSpriteHeight(number)), std::pair(3, 2)) << number;
    }
    for (const int32_t number : {1, 119, 121, 1000, 5000, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(std::pair(GetSpriteWidth(number), GetSpriteHeight(number)), std::pair(0, 0)) << number;
        EXPECT_EQ(SpriteTarget(number).kind, DRAW_TARGET_NONE) << number;
    }
    for (const int32_t number : {-1, INT_MAX}) {
        EXPECT_EQ(LoadSpriteImage(number, path.c_str(), SPRITE_MODE_TEXTURE), 0);
        EXPECT_NE(LastSpriteError().find("out of range"), std::string::npos) << LastSpriteError();
    }
    const std::string larger = WriteBitmap("larger.bmp", 9, 6, 32);
    ASSERT_EQ(LoadSpriteImage(999, larger.c_str(), SPRITE_MODE_TEXTURE), 1);
    EXPECT_EQ(SpritePixels(999).size(), 9u * 6u);
    ReleaseDrawing();
    EXPECT_EQ(GetSpriteWidth(120), 0);
}

TEST_F(PlatformTest, DrawingOnASpriteStaysInsideItsImage) {
    const std::string path = WriteBitmap("level.bmp", 4, 3, 24, [](int32_t x, int32_t y) {
        return x == 1 && y == 1 ? MakeColour(255, 255, 254) : MakeColour(255, 255, 255);
    });
    ASSERT_EQ(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_TEXTURE), 1);
    ASSERT_EQ(LoadSpriteImage(2, path.c_str(), SPRITE_MODE_TEXTURE), 1);
    ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);
    EXPECT_EQ(SpriteTarget(2).kind, DRAW_TARGET_NONE);  // one sprite held at a time
    EXPECT_EQ(ReadPixel(1, 1), MakeColour(255, 255, 254));
    EXPECT_EQ(ReadPixel(3, 2), MakeColour(255, 255, 255));
    EXPECT_EQ(ReadPixel(4, 0), 0xFFFFFFFFu);
    EXPECT_EQ(ReadPixel(0, 3), 0xFFFFFFFFu);
    DrawBox(-100, -100, 1000, 1000, MakeColour(9, 9, 9));
    EndDraw();
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);  // the back buffer was not touched
    EXPECT_EQ(SpritePixels(1), std::vector<uint32_t>(12, MakeColour(9, 9, 9)));
}
