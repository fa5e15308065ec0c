// Sprite images: the bitmap decoder through LoadSpriteImage, its refusals, the
// sprite table and drawing on a sprite.
#include <SDL.h>

#include <climits>

#include "draw_fixture.h"

namespace {

// Reads sprite pixels through a drawing on the sprite.
std::vector<uint32_t> SpritePixels(int32_t spriteNumber) {
    std::vector<uint32_t> pixels;
    EXPECT_NE(BeginDraw(SpriteTarget(spriteNumber)), 0);
    for (int32_t y = 0; y < GetSpriteHeight(spriteNumber); ++y) {
        for (int32_t x = 0; x < GetSpriteWidth(spriteNumber); ++x) {
            pixels.push_back(ReadPixel(x, y));
        }
    }
    EndDraw();
    return pixels;
}

void PutU32(std::vector<uint8_t>& file, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

}  // namespace

TEST_F(DrawTest, DecodesEveryDepthWithPaddedBottomUpRows) {
    for (int32_t depth : {16, 24, 32}) {
        for (int32_t width : {1, 2, 3, 5, 7}) {
            const int32_t height = 3;
            const std::vector<Rgb> picture = TestPicture(width, height);
            const std::string path =
                WriteTempFile("depth.bmp", MakeBitmapFile(width, height, depth, picture));
            ASSERT_EQ(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_TEXTURE), 1) << LastSpriteError();
            EXPECT_EQ(LastSpriteError(), "");
            ASSERT_EQ(GetSpriteWidth(1), width);
            ASSERT_EQ(GetSpriteHeight(1), height);
            const std::vector<uint32_t> pixels = SpritePixels(1);
            for (std::size_t i = 0; i < picture.size(); ++i) {
                const Rgb& c = picture[i];
                // 16-bit files hold 5 bits a component, scaled back by 8.
                const uint32_t expected =
                    depth == 16 ? MakeColour(c.r & 0xF8, c.g & 0xF8, c.b & 0xF8) : MakeColour(c.r, c.g, c.b);
                ASSERT_EQ(pixels[i], expected) << depth << " bits, width " << width << ", pixel " << i;
            }
        }
    }
}

TEST_F(DrawTest, AgreesWithSdlOnValid24And32BitFiles) {
    for (int32_t depth : {24, 32}) {
        for (int32_t width : {1, 3, 6, 13}) {
            const int32_t height = 4;
            const std::string path =
                WriteTempFile("sdl.bmp", MakeBitmapFile(width, height, depth, TestPicture(width, height)));
            ASSERT_EQ(LoadSpriteImage(2, path.c_str(), SPRITE_MODE_PLAIN), 1) << LastSpriteError();
            SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
            ASSERT_NE(loaded, nullptr) << SDL_GetError();
            SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
            ASSERT_NE(converted, nullptr);
            const std::vector<uint32_t> ours = SpritePixels(2);
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    const auto* row = static_cast<const uint8_t*>(converted->pixels) + y * converted->pitch;
                    const uint8_t* p = row + 4 * x;
                    ASSERT_EQ(ours[static_cast<std::size_t>(y * width + x)], MakeColour(p[0], p[1], p[2]))
                        << depth << " bits at " << x << "," << y;
                }
            }
            SDL_FreeSurface(converted);
            SDL_FreeSurface(loaded);
        }
    }
}

TEST_F(DrawTest, RefusesMalformedFilesWithAOneLineReason) {
    const std::vector<uint8_t> good = MakeBitmapFile(5, 4, 24, TestPicture(5, 4));
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {"empty.bmp", {}, "not a bitmap"},
        {"magic.bmp",
         [&] {
             auto f = good;
             f[0] = 'X';
             return f;
         }(),
         "not a bitmap"},
        {"header.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 30), "too short for its headers"},
        {"depth8.bmp",
         [&] {
             auto f = good;
             f[28] = 8;
             return f;
         }(),
         "8 bits per pixel are not supported"},
        {"depth1.bmp",
         [&] {
             auto f = good;
             f[28] = 1;
             return f;
         }(),
         "1 bits per pixel are not supported"},
        {"depth4.bmp",
         [&] {
             auto f = good;
             f[28] = 4;
             return f;
         }(),
         "4 bits per pixel are not supported"},
        {"compressed.bmp",
         [&] {
             auto f = good;
             PutU32(f, 30, 1);
             return f;
         }(),
         "compress"},
        {"topdown.bmp",
         [&] {
             auto f = good;
             PutU32(f, 22, static_cast<uint32_t>(-4));
             return f;
         }(),
         "negative height"},
        {"zeroheight.bmp",
         [&] {
             auto f = good;
             PutU32(f, 22, 0);
             return f;
         }(),
         "invalid size"},
        {"zerowidth.bmp",
         [&] {
             auto f = good;
             PutU32(f, 18, 0);
             return f;
         }(),
         "invalid size"},
        {"negwidth.bmp",
         [&] {
             auto f = good;
             PutU32(f, 18, static_cast<uint32_t>(INT_MIN));
             return f;
         }(),
         "invalid size"},
        {"huge.bmp",
         [&] {
             auto f = good;
             PutU32(f, 18, INT_MAX);
             PutU32(f, 22, INT_MAX);
             return f;
         }(),
         "too large"},
        {"wide.bmp",
         [&] {
             auto f = good;
             PutU32(f, 18, 30000);
             return f;
         }(),
         "too short for its 4 rows"},
        {"offset.bmp",
         [&] {
             auto f = good;
             PutU32(f, 10, 0xFFFFFFF0u);
             return f;
         }(),
         "outside the file"},
        {"rows.bmp", std::vector<uint8_t>(good.begin(), good.end() - 1), "too short for its 4 rows"},
        {"lateoffset.bmp",
         [&] {
             auto f = good;
             PutU32(f, 10, 60);
             return f;
         }(),
         "too short for its 4 rows"},
    };
    for (const auto& c : cases) {
        // A good image first, so the refusal must also unload it.
        const std::string goodPath = WriteTempFile("good.bmp", good);
        ASSERT_EQ(LoadSpriteImage(3, goodPath.c_str(), SPRITE_MODE_TEXTURE), 1);
        const std::string path = WriteTempFile(c.name, c.bytes);
        EXPECT_EQ(LoadSpriteImage(3, path.c_str(), SPRITE_MODE_TEXTURE), 0) << c.name;
        EXPECT_EQ(GetSpriteWidth(3), 0) << c.name;
        EXPECT_EQ(GetSpriteHeight(3), 0) << c.name;
        const std::string& reason = LastSpriteError();
        EXPECT_EQ(reason.rfind(path + ": ", 0), 0u) << reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos);
        EXPECT_EQ(SpriteTarget(3).kind, DRAW_TARGET_NONE);
        EXPECT_EQ(MakeScaledSprite(3, 3), 0);
    }
}

TEST_F(DrawTest, RefusesFilesThatCannotBeRead) {
    const std::string missing = ::testing::TempDir() + "no-such-level.bmp";
    EXPECT_EQ(LoadSpriteImage(1, missing.c_str(), SPRITE_MODE_TEXTURE), 0);
    EXPECT_EQ(LastSpriteError().rfind(missing + ": cannot be opened", 0), 0u) << LastSpriteError();
    const std::string folder = ::testing::TempDir();
    EXPECT_EQ(LoadSpriteImage(1, folder.c_str(), SPRITE_MODE_TEXTURE), 0);
    EXPECT_NE(LastSpriteError().find(folder + ": "), std::string::npos);
    EXPECT_EQ(LoadSpriteImage(1, nullptr, SPRITE_MODE_TEXTURE), 0);
    EXPECT_EQ(GetSpriteWidth(1), 0);
}

TEST_F(DrawTest, SpriteTableGrowsAndUnknownNumbersReadZero) {
    const std::string path = WriteTempFile("table.bmp", MakeBitmapFile(3, 2, 24, TestPicture(3, 2)));
    for (int32_t number : {0, 49, 50, 120, 999}) {
        ASSERT_EQ(LoadSpriteImage(number, path.c_str(), SPRITE_MODE_PLAIN), 1) << number;
        EXPECT_EQ(GetSpriteWidth(number), 3);
        EXPECT_EQ(GetSpriteHeight(number), 2);
    }
    for (int32_t number : {1, 119, 121, 1000, 5000, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(GetSpriteWidth(number), 0) << number;
        EXPECT_EQ(GetSpriteHeight(number), 0) << number;
    }
    EXPECT_EQ(LoadSpriteImage(-1, path.c_str(), SPRITE_MODE_PLAIN), 0);
    EXPECT_NE(LastSpriteError().find("out of range"), std::string::npos);
    EXPECT_EQ(LoadSpriteImage(INT_MAX, path.c_str(), SPRITE_MODE_PLAIN), 0);
    ReleaseDrawing();
    EXPECT_EQ(GetSpriteWidth(120), 0);
}

TEST_F(DrawTest, DrawingOnASpriteChangesItsImageAndReadsOutsideAsNoColour) {
    std::vector<Rgb> picture(4 * 3, Rgb{255, 255, 255});
    picture[5] = Rgb{255, 255, 254};
    const std::string path = WriteTempFile("level.bmp", MakeBitmapFile(4, 3, 24, picture));
    ASSERT_EQ(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_TEXTURE), 1);
    ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);
    EXPECT_EQ(SpriteTarget(1).kind, DRAW_TARGET_NONE);  // one sprite held at a time
    int32_t anchors = 0;
    for (int32_t i = 0; i <= 4; ++i) {
        for (int32_t j = 0; j <= 3; ++j) {
            if (ReadPixel(i, j) == MakeColour(255, 255, 255)) {
                ++anchors;
                DrawSegment(i, j, 1, 0, MakeColour(127, 127, 127));
            }
        }
    }
    EXPECT_EQ(anchors, 11);
    EXPECT_EQ(ReadPixel(1, 1), MakeColour(255, 255, 254));
    EXPECT_EQ(ReadPixel(0, 0), MakeColour(127, 127, 127));
    EXPECT_EQ(ReadPixel(4, 0), 0xFFFFFFFFu);
    EXPECT_EQ(ReadPixel(0, 3), 0xFFFFFFFFu);
    // Drawing that runs past the sprite stays inside its image.
    DrawBox(-100, -100, 1000, 1000, MakeColour(9, 9, 9));
    EndDraw();
    EXPECT_EQ(CountPixels(0u), 1024 * 768);  // the back buffer was not touched
    EXPECT_EQ(SpritePixels(1), std::vector<uint32_t>(12, MakeColour(9, 9, 9)));
    EXPECT_EQ(SpriteTarget(77).kind, DRAW_TARGET_NONE);
}

TEST_F(DrawTest, ReloadingASpriteNumberReplacesTheImage) {
    const std::string small = WriteTempFile("small.bmp", MakeBitmapFile(2, 2, 24, TestPicture(2, 2)));
    const std::string large = WriteTempFile("large.bmp", MakeBitmapFile(9, 6, 32, TestPicture(9, 6)));
    ASSERT_EQ(LoadSpriteImage(4, large.c_str(), SPRITE_MODE_TEXTURE), 1);
    ASSERT_EQ(LoadSpriteImage(4, small.c_str(), SPRITE_MODE_TEXTURE), 1);
    EXPECT_EQ(GetSpriteWidth(4), 2);
    EXPECT_EQ(SpritePixels(4).size(), 4u);
}
