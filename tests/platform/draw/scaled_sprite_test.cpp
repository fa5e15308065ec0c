// Scaled sprites: stretching, opacity, black keying, filtering, clipping, and the
// stretched picture kept between passes.
#include <climits>

#include "tests/platform/platform_test.h"

namespace {

constexpr uint32_t RED = MakeColour(255, 0, 0), BLUE = MakeColour(0, 0, 255);

int32_t Channel(uint32_t pixel, int32_t index) {
    return static_cast<int32_t>((pixel >> (8 * index)) & 0xFFu);
}

// Loads a picture as texture sprite 1 and makes scaled sprite 1 from it.
void MakeScaled(int32_t width, int32_t height, const BmpColourAt& colourAt = TestColour) {
    const std::string path = WriteBitmap("scaled.bmp", width, height, 24, colourAt);
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

TEST_F(PlatformTest, OpacityBlendsTheImageOverTheScreenAndBlackTexelsLeaveItAlone) {
    MakeScaled(2, 1, [](int32_t x, int32_t) { return x == 0 ? MakeColour(200, 100, 50) : 0u; });
    const struct {
        uint32_t under;
        int32_t opacity;
        int32_t expected[3];
    } cases[] = {
        {0u, 128, {100, 50, 25}},                      // 200 x 128 / 255 = 100.4 ...
        {MakeColour(0, 255, 100), 64, {50, 216, 87}},  // image x a + screen x (1 - a)
        {MakeColour(7, 7, 7), 0, {7, 7, 7}},
    };
    for (const auto& c : cases) {
        ClearBackBuffer(Channel(c.under, 0), Channel(c.under, 1), Channel(c.under, 2));
        Show(5, 5, 20, 10, c.opacity);
        for (int32_t i = 0; i < 3; ++i) EXPECT_NEAR(Channel(Pixel(14, 14), i), c.expected[i], 1) << c.opacity;
        EXPECT_EQ(CountPixels(c.under), SCREEN_WIDTH * SCREEN_HEIGHT - (c.opacity > 0 ? 100 : 0));
    }
    // Left half white, right half black, over grey: the black side never touches the
    // screen, and the bilinear edge fades towards it instead of darkening it.
    MakeScaled(4, 4, [](int32_t x, int32_t) { return x < 2 ? MakeColour(255, 255, 255) : 0u; });
    for (const int32_t quality : {0, 1}) {
        SetScaledFiltering(quality);
        ClearBackBuffer(100, 100, 100);
        Show(0, 0, 400, 400, 255);
        for (int32_t y = 0; y < 400; ++y) {
            for (int32_t x = 0; x < 400; ++x) {
                const int32_t red = Channel(Pixel(x, y), 0);
                ASSERT_EQ(Pixel(x, y), MakeColour(red, red, red));
                ASSERT_GE(red, Channel(Pixel(x + 1, y), 0)) << quality << " at " << x;  // fading
                if (x < (quality == 0 ? 200 : 150)) ASSERT_EQ(red, 255) << quality << " at " << x;
                if (x >= (quality == 0 ? 200 : 250)) ASSERT_EQ(red, 100) << quality << " at " << x;
            }
        }
        EXPECT_TRUE(quality == 0 || (Channel(Pixel(210, 10), 0) > 100 && Channel(Pixel(190, 10), 0) < 255));
    }
}

TEST_F(PlatformTest, FilteringMapsPixelCentresOntoTexelCentres) {
    MakeScaled(2, 1, [](int32_t x, int32_t) { return x == 0 ? RED : BLUE; });
    Show(0, 0, 20, 1, 255);
    for (int32_t x = 0; x < 20; ++x) ASSERT_EQ(Pixel(x, 0), x < 10 ? RED : BLUE) << x;
    // Doubled: the outer pixels sit beyond the texel centres (clamped), the inner
    // ones a quarter of a texel from them. Shrunk to one pixel: halfway between.
    SetScaledFiltering(1);
    const struct {
        int32_t width;
        std::vector<int32_t> red;
    } cases[] = {{4, {255, 191, 64, 0}}, {1, {128}}, {3, {255, 128, 0}}};
    for (const auto& c : cases) {
        ClearBackBuffer(0, 0, 0);
        Show(0, 0, c.width, 1, 255);
        for (int32_t x = 0; x < c.width; ++x) {
            EXPECT_NEAR(Channel(Pixel(x, 0), 0), c.red[x], 1) << c.width << " at " << x;
            EXPECT_NEAR(Channel(Pixel(x, 0), 2), 255 - c.red[x], 1) << c.width << " at " << x;
        }
        EXPECT_EQ(Pixel(c.width, 0), 0u);
    }
}

TEST_F(PlatformTest, ScaledSpritesAreClippedAtEveryEdgeWithoutShifting) {
    MakeScaled(10, 10);
    for (const int32_t quality : {0, 1}) {
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
            for (int32_t y = 0; y < SCREEN_HEIGHT; ++y) {
                for (int32_t x = 0; x < SCREEN_WIDTH; ++x) {
                    const int32_t rx = x - at.x + 300, ry = y - at.y + 300;
                    const bool inside = rx >= 300 && rx < 373 && ry >= 300 && ry < 341;
                    ASSERT_EQ(Pixel(x, y), inside ? reference[static_cast<std::size_t>(ry * 1024 + rx)] : 0u)
                        << quality << ": " << at.x << "," << at.y << " at " << x << "," << y;
                }
            }
        }
    }
    // At the int32 limits nothing overflows: the far corner is off screen, the near one covers it.
    ClearBackBuffer(0, 0, 0);
    Show(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 255);
    Show(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 255);  // ends at (-2, -2)
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);
    Show(-5, -5, INT_MAX, INT_MAX, 255);
    EXPECT_EQ(CountPixels(TestColour(0, 0)), SCREEN_WIDTH * SCREEN_HEIGHT);  // texel (0, 0), stretched
}

// The stretched picture is kept between passes; every change to what it depends
// on must show, and the screen beneath it is read afresh each time.
TEST_F(PlatformTest, RepeatedPassesFollowEveryChange) {
    MakeScaled(2, 1, [](int32_t x, int32_t) { return x == 0 ? MakeColour(200, 100, 0) : 0u; });
    const auto showOver = [](uint32_t under, int32_t x, int32_t opacity) {
        ClearBackBuffer(Channel(under, 0), Channel(under, 1), Channel(under, 2));
        Show(x, 0, 40, 20, opacity);
    };
    showOver(0u, 0, 255);
    EXPECT_EQ(Pixel(5, 5), MakeColour(200, 100, 0));
    EXPECT_EQ(Pixel(25, 5), 0u);
    showOver(MakeColour(0, 0, 100), 0, 128);  // new opacity, and blue beneath
    EXPECT_NEAR(Channel(Pixel(5, 5), 0), 100, 1);
    EXPECT_NEAR(Channel(Pixel(5, 5), 2), 50, 1);
    EXPECT_EQ(Pixel(25, 5), MakeColour(0, 0, 100));  // black texel: untouched
    showOver(0u, 0, 128);                            // same placement, black beneath again
    EXPECT_EQ(Channel(Pixel(5, 5), 2), 0);
    showOver(0u, 10, 128);  // moved
    EXPECT_EQ(Pixel(5, 5), 0u);
    EXPECT_NEAR(Channel(Pixel(15, 5), 0), 100, 1);
    ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);  // painted on, shown while the drawing goes on
    for (const int32_t channel : {1, 2, 0}) {
        DrawSegment(0, 0, 1, 0, 250u << (8 * channel));
        if (channel == 0) EndDraw();
        showOver(0u, 10, 128);
        EXPECT_EQ(Pixel(15, 5) & ~(0xFFu << (8 * channel)), 0u) << channel;
        EXPECT_NEAR(Channel(Pixel(15, 5), channel), 125, 1) << channel;
    }
    SetScaledFiltering(1);  // new filtering: the edge towards the black texel fades
    showOver(0u, 10, 255);
    EXPECT_EQ(Pixel(15, 5), MakeColour(250, 0, 0));
    EXPECT_LT(Channel(Pixel(39, 5), 0), 250);
    ReleaseDrawing();  // forgets the sprite
    showOver(0u, 0, 255);
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);
}

// Scrolling reuses the stretched picture worked out for earlier frames; what it
// shows must be exactly what a fresh start shows at the same place.
TEST_F(PlatformTest, ScrollingShowsWhatAFreshStartShows) {
    const std::pair<int32_t, int32_t> path[] = {{-100, -60},  {-110, -60},  {-110, -50}, {-250, -60},
                                                {-900, -300}, {-890, -300}, {300, 200},  {310, 190}};
    const auto show = [](int32_t x, int32_t y) {
        ClearBackBuffer(0, 0, 0);
        Show(x, y, 1200, 900, 128);
        return backBuffer.pixels;
    };
    MakeScaled(60, 45);
    SetScaledFiltering(1);
    std::vector<std::vector<uint32_t>> scrolled;
    for (const auto& [x, y] : path) scrolled.push_back(show(x, y));
    for (std::size_t k = 0; k < scrolled.size(); ++k) {
        SetUp();
        MakeScaled(60, 45);
        SetScaledFiltering(1);
        EXPECT_EQ(scrolled[k], show(path[k].first, path[k].second)) << path[k].first << "," << path[k].second;
    }
    // Nearest texel, full opacity: pixel (sx, sy) shows texel ((sx - x) / 20, (sy - y) / 20).
    SetScaledFiltering(0);
    for (const auto& [x, y] : {std::pair{-600, -400}, std::pair{-610, -390}, std::pair{-150, -420}}) {
        ClearBackBuffer(0, 0, 0);
        Show(x, y, 1200, 900, 255);
        for (int32_t sy = 0; sy < SCREEN_HEIGHT; ++sy) {
            for (int32_t sx = 0; sx < SCREEN_WIDTH; sx += 7) {
                const bool onSprite = sx - x < 1200 && sy - y < 900;
                ASSERT_EQ(Pixel(sx, sy), onSprite ? TestColour((sx - x) / 20, (sy - y) / 20) : 0u)
                    << x << "," << y << " at " << sx << "," << sy;
            }
        }
    }
}

TEST_F(PlatformTest, ScaledPassRulesAndFailures) {
    const std::string path = WriteBitmap("plain.bmp", 2, 2, 24);
    ASSERT_EQ(LoadSpriteImage(5, path.c_str(), SPRITE_MODE_PLAIN), 1);
    EXPECT_EQ(MakeScaledSprite(5, 5), 0);  // needs a texture sprite
    EXPECT_EQ(MakeScaledSprite(5, 6), 0);  // never loaded
    MakeScaled(2, 2);
    EXPECT_EQ(MakeScaledSprite(-1, 1), 0);
    ASSERT_EQ(BeginScaledPass(), 1);
    for (const int32_t number : {5, 49, -1, INT_MAX}) ShowScaledSprite(number, 0, 0, 255);
    EndScaledPass();
    SetScaledSize(1, 50, 50);
    ShowScaledSprite(1, 0, 0, 255);  // outside a pass
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    EXPECT_EQ(BeginScaledPass(), 0);  // not while a drawing holds the back buffer
    ShowScaledSprite(1, 0, 0, 255);
    EndDraw();
    Show(0, 0, -50, 50, 255);
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);
    // The table grows to numbers beyond 50.
    EXPECT_EQ(MakeScaledSprite(170, 1), 1);
    SetScaledSize(170, 8, 8);
    ASSERT_EQ(BeginScaledPass(), 1);
    ShowScaledSprite(170, 100, 100, 255);
    EndScaledPass();
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT - 64);
    // A platform reset puts the filtering back to the nearest texel.
    SetScaledFiltering(1);
    SetUp();
    MakeScaled(2, 1, [](int32_t x, int32_t) { return x == 0 ? RED : BLUE; });
    Show(0, 0, 4, 1, 255);
    EXPECT_EQ(Pixel(1, 0), RED);
    EXPECT_EQ(Pixel(2, 0), BLUE);
}
