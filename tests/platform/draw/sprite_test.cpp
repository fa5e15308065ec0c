// Sprite images: the bitmap decoder through LoadSpriteImage, its refusals, the
// sprite table and drawing on a sprite.
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "tests/platform/platform_test.h"

TEST_F(PlatformTest, DecodesEveryDepthWithPaddedBottomUpRowsIntoAGrowingTable) {
    constexpr int32_t WIDTHS[] = {1, 2, 3, 5, 7};
    for (int32_t k = 0; k < 15; ++k) {
        // Sprites 0, 25, 50, ...: the table grows in steps and keeps what it holds.
        const int32_t depth = 16 + 8 * (k / 5), width = WIDTHS[k % 5];
        const std::string path = WriteBitmap("depth.bmp", width, 3, depth);
        ASSERT_EQ(LoadSpriteImage(25 * k, path.c_str(), SPRITE_MODE_TEXTURE), 1) << LastSpriteError();
        ASSERT_NE(BeginDraw(SpriteTarget(25 * k)), 0);
        // 16-bit files keep the top 5 bits of each component.
        const uint32_t mask = depth == 16 ? MakeColour(0xF8, 0xF8, 0xF8) : 0xFFFFFFu;
        for (int32_t i = 0; i < width * 4; ++i) {
            const uint32_t expected = i < width * 3 ? TestColour(i % width, i / width) & mask : 0xFFFFFFFFu;
            ASSERT_EQ(ReadPixel(i % width, i / width), expected)
                << depth << " bits, width " << width << ", " << i;
        }
        EXPECT_EQ(ReadPixel(width, 0), 0xFFFFFFFFu);
        EndDraw();
    }
    for (int32_t k = 0; k < 15; ++k) {
        EXPECT_EQ(std::pair(GetSpriteWidth(25 * k), GetSpriteHeight(25 * k)), std::pair(WIDTHS[k % 5], 3))
            << k;
    }
    // Never loaded, the first number past the table (grown to 400), out of range: nothing.
    for (const int32_t number : {1, 24, 26, 400, 1000, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(std::pair(GetSpriteWidth(number), GetSpriteHeight(number)), std::pair(0, 0)) << number;
        EXPECT_EQ(SpriteTarget(number).kind, DRAW_TARGET_NONE) << number;
    }
    const std::string path = WriteBitmap("table.bmp", 3, 2, 24);
    EXPECT_EQ(LoadSpriteImage(-1, path.c_str(), SPRITE_MODE_TEXTURE) +
                  LoadSpriteImage(INT_MAX, path.c_str(), SPRITE_MODE_TEXTURE),
              0);
    EXPECT_NE(LastSpriteError().find("out of range"), std::string::npos) << LastSpriteError();
    // Drawing on a sprite stays inside its image; one sprite is held at a time.
    ASSERT_NE(BeginDraw(SpriteTarget(350)), 0);
    EXPECT_EQ(SpriteTarget(0).kind, DRAW_TARGET_NONE);
    DrawBox(-100, -100, 1000, 1000, MakeColour(9, 9, 9));
    EXPECT_EQ(std::vector({ReadPixel(0, 0), ReadPixel(6, 2)}), std::vector(2, MakeColour(9, 9, 9)));
    EndDraw();
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);  // the back buffer was not touched
    ReleaseDrawing();
    EXPECT_EQ(GetSpriteWidth(350), 0);
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
