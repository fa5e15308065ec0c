// Scaled sprites: stretching, opacity, black keying, filtering and clipping.
#include <climits>
#include <cstdlib>

#include "draw_fixture.h"

namespace {

int32_t Red(uint32_t p) {
    return static_cast<int32_t>(p & 0xFFu);
}
int32_t Green(uint32_t p) {
    return static_cast<int32_t>((p >> 8) & 0xFFu);
}
int32_t Blue(uint32_t p) {
    return static_cast<int32_t>((p >> 16) & 0xFFu);
}

// Loads a picture as texture sprite 1 and makes scaled sprite 1 from it.
void MakeScaled(int32_t width, int32_t height, const std::vector<Rgb>& picture) {
    const std::string path = WriteTempFile("scaled.bmp", MakeBitmapFile(width, height, 24, picture));
    ASSERT_EQ(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_TEXTURE), 1) << LastSpriteError();
    ASSERT_EQ(MakeScaledSprite(1, 1), 1);
}

void Show(int32_t x, int32_t y, int32_t width, int32_t height, int32_t opacity) {
    SetScaledSize(1, width, height);
    ASSERT_EQ(BeginScaledPass(), 1);
    ShowScaledSprite(1, x, y, opacity);
    EndScaledPass();
}

}  // namespace

TEST_F(DrawTest, OpacityHalfOverBlackGivesHalfTheColour) {
    MakeScaled(1, 1, {Rgb{200, 100, 50}});
    Show(5, 5, 10, 10, 128);
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 15 && y >= 5 && y < 15;
            const uint32_t p = Pixel(x, y);
            if (!inside) {
                ASSERT_EQ(p, 0u);
                continue;
            }
            // 200 x 128 / 255 = 100.4, 100 x 128 / 255 = 50.2, 50 x 128 / 255 = 25.1
            ASSERT_NEAR(Red(p), 100, 1);
            ASSERT_NEAR(Green(p), 50, 1);
            ASSERT_NEAR(Blue(p), 25, 1);
        }
    }
    // Over a colour: image x a + screen x (1 - a).
    ClearBackBuffer(0, 255, 100);
    Show(0, 0, 4, 4, 64);
    EXPECT_NEAR(Red(Pixel(1, 1)), 200 * 64 / 255, 1);
    EXPECT_NEAR(Green(Pixel(1, 1)), (100 * 64 + 255 * 191) / 255, 1);
    EXPECT_NEAR(Blue(Pixel(1, 1)), (50 * 64 + 100 * 191) / 255, 1);
    ClearBackBuffer(7, 7, 7);
    Show(0, 0, 4, 4, 0);
    EXPECT_EQ(CountPixels(MakeColour(7, 7, 7)), 1024 * 768);
}

TEST_F(DrawTest, BlackTexelsLeaveTheBackBufferUnchanged) {
    // Left half white, right half black; the black side must never touch the buffer,
    // and the bilinear edge fades towards the background instead of darkening it.
    std::vector<Rgb> picture;
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            picture.push_back(x < 2 ? Rgb{255, 255, 255} : Rgb{0, 0, 0});
        }
    }
    MakeScaled(4, 4, picture);
    for (int32_t quality : {0, 1}) {
        SetScaledFiltering(quality);
        ClearBackBuffer(100, 100, 100);
        Show(0, 0, 400, 400, 255);
        for (int32_t y = 0; y < 400; ++y) {
            for (int32_t x = 0; x < 400; ++x) {
                const uint32_t p = Pixel(x, y);
                ASSERT_GE(Red(p), 100) << quality << " at " << x;
                ASSERT_EQ(Red(p), Green(p));
                if (x >= 250) {  // beyond the last white texel's reach
                    ASSERT_EQ(p, MakeColour(100, 100, 100)) << quality << " at " << x;
                }
                if (x < 150) {
                    ASSERT_EQ(p, MakeColour(255, 255, 255)) << quality << " at " << x;
                }
            }
        }
        // Nearest: a hard edge at the texel boundary; bilinear: a ramp across it.
        if (quality == 0) {
            EXPECT_EQ(Pixel(199, 10), MakeColour(255, 255, 255));
            EXPECT_EQ(Pixel(200, 10), MakeColour(100, 100, 100));
        } else {
            EXPECT_GT(Red(Pixel(210, 10)), 100);
            EXPECT_LT(Red(Pixel(190, 10)), 255);
            for (int32_t x = 150; x < 250; ++x) {
                ASSERT_GE(Red(Pixel(x, 10)), Red(Pixel(x + 1, 10)));
            }
        }
    }
    // An all-black image changes nothing at all.
    MakeScaled(2, 2, std::vector<Rgb>(4, Rgb{0, 0, 0}));
    SetScaledFiltering(1);
    ClearBackBuffer(30, 40, 50);
    Show(-10, -10, 2000, 2000, 255);
    EXPECT_EQ(CountPixels(MakeColour(30, 40, 50)), 1024 * 768);
}

TEST_F(DrawTest, NearestAndBilinearMapPixelCentresOntoTexelCentres) {
    MakeScaled(2, 1, {Rgb{255, 0, 0}, Rgb{0, 0, 255}});
    SetScaledFiltering(0);
    Show(0, 0, 20, 1, 255);
    for (int32_t x = 0; x < 20; ++x) {
        ASSERT_EQ(Pixel(x, 0), x < 10 ? MakeColour(255, 0, 0) : MakeColour(0, 0, 255)) << x;
    }
    // Doubled: the outer pixels sit beyond the texel centres (clamped), the inner
    // ones a quarter of a texel from them.
    SetScaledFiltering(1);
    ClearBackBuffer(0, 0, 0);
    Show(0, 0, 4, 1, 255);
    const int32_t expectedRed[4] = {255, 191, 64, 0};
    for (int32_t x = 0; x < 4; ++x) {
        EXPECT_NEAR(Red(Pixel(x, 0)), expectedRed[x], 1) << x;
        EXPECT_NEAR(Blue(Pixel(x, 0)), 255 - expectedRed[x], 1) << x;
    }
    EXPECT_EQ(Pixel(4, 0), 0u);
    // Shrunk to one pixel: the centre of the image, halfway between the texels.
    ClearBackBuffer(0, 0, 0);
    Show(0, 0, 1, 1, 255);
    EXPECT_NEAR(Red(Pixel(0, 0)), 128, 1);
    EXPECT_NEAR(Blue(Pixel(0, 0)), 128, 1);
}

TEST_F(DrawTest, ScaledSpritesAreClippedAtEveryEdgeWithoutShifting) {
    MakeScaled(10, 10, TestPicture(10, 10));
    for (int32_t quality : {0, 1}) {
        SetScaledFiltering(quality);
        ClearBackBuffer(0, 0, 0);
        Show(300, 300, 73, 41, 200);
        const std::vector<uint32_t> reference = backBuffer.pixels;
        const struct {
            int32_t x, y;
        } positions[] = {{-30, 300}, {1000, 300}, {300, -20}, {300, 750},
                         {-50, -30}, {990, 740},  {-73, 0},   {1024, 5}};
        for (const auto& at : positions) {
            ClearBackBuffer(0, 0, 0);
            Show(at.x, at.y, 73, 41, 200);
            for (int32_t y = 0; y < 768; ++y) {
                for (int32_t x = 0; x < 1024; ++x) {
                    const int32_t rx = x - at.x + 300, ry = y - at.y + 300;
                    const bool inside = rx >= 300 && rx < 373 && ry >= 300 && ry < 341;
                    const uint32_t expected =
                        inside ? reference[static_cast<std::size_t>(ry * 1024 + rx)] : 0u;
                    ASSERT_EQ(Pixel(x, y), expected)
                        << quality << ": " << at.x << "," << at.y << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(DrawTest, HugeScaledSpritesShowOnlyTheirVisiblePart) {
    // 300 x 300 enlarged twentyfold: moving it by 20 pixels moves it by exactly one texel.
    std::vector<Rgb> picture;
    for (int32_t y = 0; y < 300; ++y) {
        for (int32_t x = 0; x < 300; ++x) {
            picture.push_back(
                Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>((x ^ y) | 1)});
        }
    }
    MakeScaled(300, 300, picture);
    SetScaledFiltering(1);
    Show(-2000, -2000, 6000, 6000, 128);
    const std::vector<uint32_t> first = backBuffer.pixels;
    ClearBackBuffer(0, 0, 0);
    Show(-1980, -1960, 6000, 6000, 128);
    for (int32_t y = 0; y + 40 < 768; ++y) {
        for (int32_t x = 0; x + 20 < 1024; ++x) {
            ASSERT_EQ(Pixel(x + 20, y + 40), first[static_cast<std::size_t>(y * 1024 + x)]) << x << "," << y;
        }
    }
    // At the int32 limits nothing overflows: the far corner is off screen, the near one covers it.
    ClearBackBuffer(0, 0, 0);
    Show(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 255);
    EXPECT_EQ(CountPixels(0u), 1024 * 768);
    Show(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 255);
    EXPECT_EQ(CountPixels(0u), 1024 * 768);  // ends at (-2, -2)
    Show(-5, -5, INT_MAX, INT_MAX, 255);
    EXPECT_LT(CountPixels(0u), 1024 * 768);
    EXPECT_EQ(Pixel(1023, 767), MakeColour(0, 0, 1));  // texel (0, 0), stretched
}

TEST_F(DrawTest, ScaledPassRulesAndFailures) {
    const std::string path = WriteTempFile("plain.bmp", MakeBitmapFile(2, 2, 24, TestPicture(2, 2)));
    ASSERT_EQ(LoadSpriteImage(5, path.c_str(), SPRITE_MODE_PLAIN), 1);
    EXPECT_EQ(MakeScaledSprite(5, 5), 0);  // needs a texture sprite
    EXPECT_EQ(MakeScaledSprite(5, 6), 0);  // never loaded
    ASSERT_EQ(BeginScaledPass(), 1);
    ShowScaledSprite(5, 0, 0, 255);
    ShowScaledSprite(49, 0, 0, 255);
    ShowScaledSprite(-1, 0, 0, 255);
    ShowScaledSprite(INT_MAX, 0, 0, 255);
    EndScaledPass();
    EXPECT_EQ(CountPixels(0u), 1024 * 768);

    MakeScaled(2, 2, TestPicture(2, 2));
    SetScaledSize(1, 50, 50);
    // Not while a drawing holds the back buffer, and nothing is shown outside a pass.
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    EXPECT_EQ(BeginScaledPass(), 0);
    ShowScaledSprite(1, 0, 0, 255);
    EndDraw();
    EXPECT_EQ(CountPixels(0u), 1024 * 768);
    // Negative sizes show nothing; the table grows to numbers beyond 50.
    Show(0, 0, -50, 50, 255);
    EXPECT_EQ(CountPixels(0u), 1024 * 768);
    EXPECT_EQ(MakeScaledSprite(170, 1), 1);
    SetScaledSize(170, 8, 8);
    ASSERT_EQ(BeginScaledPass(), 1);
    ShowScaledSprite(170, 100, 100, 255);
    EndScaledPass();
    EXPECT_EQ(CountPixels(0u), 1024 * 768 - 64);
}

TEST_F(DrawTest, ScaledSpritesShowTheSpriteAsPaintedAndForgetItOnRelease) {
    MakeScaled(2, 2, std::vector<Rgb>(4, Rgb{255, 255, 255}));
    ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);
    DrawSegment(0, 0, 1, 0, MakeColour(127, 127, 127));
    EndDraw();
    SetScaledFiltering(0);
    Show(0, 0, 40, 40, 255);
    EXPECT_EQ(Pixel(5, 5), MakeColour(127, 127, 127));
    EXPECT_EQ(Pixel(25, 5), MakeColour(255, 255, 255));
    ReleaseDrawing();
    ClearBackBuffer(0, 0, 0);
    ASSERT_EQ(BeginScaledPass(), 1);
    ShowScaledSprite(1, 0, 0, 255);
    EndScaledPass();
    EXPECT_EQ(CountPixels(0u), 1024 * 768);
}

TEST_F(DrawTest, ResetDrawingRestoresTheStartState) {
    MakeScaled(2, 1, {Rgb{255, 0, 0}, Rgb{0, 0, 255}});
    SetScaledFiltering(1);
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    ResetDrawing();
    EXPECT_EQ(GetSpriteWidth(1), 0);
    EXPECT_EQ(MakeScaledSprite(1, 1), 0);
    EXPECT_EQ(BackBufferTarget().kind, DRAW_TARGET_BACK_BUFFER);  // the open drawing ended
    // Filtering is back to the nearest texel: a doubled two-texel image shows hard halves.
    MakeScaled(2, 1, {Rgb{255, 0, 0}, Rgb{0, 0, 255}});
    Show(0, 0, 4, 1, 255);
    EXPECT_EQ(Pixel(1, 0), MakeColour(255, 0, 0));
    EXPECT_EQ(Pixel(2, 0), MakeColour(0, 0, 255));
}

// The worked-out picture is kept between passes; every change to what it depends
// on must show, and the screen beneath it is read afresh each time.
TEST_F(DrawTest, RepeatedPassesFollowEveryChange) {
    MakeScaled(2, 1, {Rgb{200, 100, 0}, Rgb{0, 0, 0}});
    SetScaledFiltering(0);
    const auto showOver = [](uint32_t under, int32_t x, int32_t opacity) {
        ClearBackBuffer(static_cast<int32_t>(under & 0xFFu), static_cast<int32_t>((under >> 8) & 0xFFu),
                        static_cast<int32_t>(under >> 16));
        Show(x, 0, 40, 20, opacity);
    };
    showOver(0u, 0, 255);
    EXPECT_EQ(Pixel(5, 5), MakeColour(200, 100, 0));
    EXPECT_EQ(Pixel(25, 5), 0u);
    showOver(MakeColour(0, 0, 100), 0, 128);  // new opacity, and blue beneath
    EXPECT_NEAR(Red(Pixel(5, 5)), 100, 1);
    EXPECT_NEAR(Blue(Pixel(5, 5)), 50, 1);
    EXPECT_EQ(Pixel(25, 5), MakeColour(0, 0, 100));  // black texel: untouched
    showOver(0u, 0, 128);                            // same placement, black beneath again
    EXPECT_EQ(Blue(Pixel(5, 5)), 0);
    showOver(0u, 10, 128);  // moved
    EXPECT_EQ(Pixel(5, 5), 0u);
    EXPECT_NEAR(Red(Pixel(15, 5)), 100, 1);
    ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);  // painted on
    DrawSegment(0, 0, 1, 0, MakeColour(0, 250, 0));
    EndDraw();
    showOver(0u, 10, 128);
    EXPECT_EQ(Red(Pixel(15, 5)), 0);
    EXPECT_NEAR(Green(Pixel(15, 5)), 125, 1);
    SetScaledFiltering(1);  // new filtering: the edge towards the black texel fades
    showOver(0u, 10, 255);
    EXPECT_EQ(Pixel(15, 5), MakeColour(0, 250, 0));
    EXPECT_LT(Green(Pixel(39, 5)), 250);
}

TEST_F(DrawTest, PaintingOnTheSpriteInsideOneDrawingShowsAtOnce) {
    MakeScaled(1, 1, {Rgb{200, 100, 0}});
    SetScaledFiltering(0);
    ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);
    Show(0, 0, 20, 20, 255);
    EXPECT_EQ(Pixel(5, 5), MakeColour(200, 100, 0));
    DrawSegment(0, 0, 1, 0, MakeColour(10, 20, 30));  // same drawing, no EndDraw yet
    Show(0, 0, 20, 20, 255);
    EXPECT_EQ(Pixel(5, 5), MakeColour(10, 20, 30));
    EndDraw();
}

// Scrolling reuses the stretched picture worked out for earlier frames; what it
// shows must be exactly what a fresh start shows at the same place.
TEST_F(DrawTest, ScrollingShowsWhatAFreshStartShows) {
    const std::vector<Rgb> picture = TestPicture(60, 45);
    SetScaledFiltering(1);
    const auto showFresh = [&](int32_t x, int32_t y) {
        ResetDrawing();
        AllocateBackBuffer(1024, 768);
        MakeScaled(60, 45, picture);
        SetScaledFiltering(1);
        ClearBackBuffer(0, 0, 0);
        Show(x, y, 1200, 900, 128);
        return backBuffer.pixels;
    };
    const std::pair<int32_t, int32_t> path[] = {{-100, -60},  {-110, -60},  {-110, -50}, {-250, -60},
                                                {-900, -300}, {-890, -300}, {300, 200},  {310, 190}};
    std::vector<std::vector<uint32_t>> scrolled;
    MakeScaled(60, 45, picture);
    for (const auto& [x, y] : path) {
        ClearBackBuffer(0, 0, 0);
        Show(x, y, 1200, 900, 128);
        scrolled.push_back(backBuffer.pixels);
    }
    for (std::size_t k = 0; k < scrolled.size(); ++k) {
        EXPECT_EQ(scrolled[k], showFresh(path[k].first, path[k].second))
            << path[k].first << "," << path[k].second;
    }
    // And where each screen pixel comes from, far into a large sprite: with the
    // nearest texel and full opacity, pixel (sx, sy) shows texel ((sx - x) / 20, (sy - y) / 20).
    SetScaledFiltering(0);
    for (const auto& [x, y] : {std::pair{-600, -400}, std::pair{-610, -390}, std::pair{-150, -420}}) {
        ClearBackBuffer(0, 0, 0);
        Show(x, y, 1200, 900, 255);
        int32_t wrong = 0;
        for (int32_t sy = 0; sy < 768; ++sy) {
            for (int32_t sx = 0; sx < 1024; sx += 7) {
                const bool onSprite = sx - x < 1200 && sy - y < 900;
                const Rgb texel = onSprite
                                      ? picture[static_cast<std::size_t>((sy - y) / 20 * 60 + (sx - x) / 20)]
                                      : Rgb{0, 0, 0};
                wrong += Pixel(sx, sy) != MakeColour(texel.r, texel.g, texel.b);
            }
        }
        EXPECT_EQ(wrong, 0) << x << "," << y;
    }
}
