// Scaled sprites: stretching, opacity, black keying, filtering, clipping, and the
// stretched picture kept between passes.
#include <climits>
#include <vector>

#include "tests/platform/platform_test.h"

namespace {

int32_t Channel(uint32_t pixel, int32_t index) {
    return static_cast<int32_t>((pixel >> (8 * index)) & 0xFFu);
}

// Loads a picture as texture sprite 1 and makes scaled sprite 1 from it.
void MakeScaled(int32_t width, int32_t height, const BmpColourAt& colourAt = TestColour) {
    const std::string path = WriteBitmap("scaled.bmp", width, height, 24, colourAt);
    ASSERT_EQ(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_TEXTURE), 1) << LastSpriteError();
    ASSERT_EQ(MakeScaledSprite(1, 1), 1);
}

void Show(int32_t x, int32_t y, int32_t width, int32_t height, int32_t opacity, uint32_t under = 0u) {
    ClearBackBuffer(Channel(under, 0), Channel(under, 1), Channel(under, 2));
    SetScaledSize(1, width, height);
    ASSERT_EQ(BeginScaledPass(), 1);
    ShowScaledSprite(1, x, y, opacity);
    EndScaledPass();
    SettledBackBuffer();  // as PresentFrame would
}

}  // namespace

// The stretched picture is kept between passes; every change to what it depends
// on must show, and the screen beneath it is read afresh each time.
TEST_F(PlatformTest, OpacityBlendsOverTheScreenAndRepeatedPassesFollowEveryChange) {
    MakeScaled(2, 1, [](int32_t x, int32_t) { return x == 0 ? MakeColour(200, 100, 0) : 0u; });
    Show(0, 0, 40, 20, 255);
    EXPECT_EQ(std::vector({Pixel(5, 5), Pixel(25, 5)}), std::vector({MakeColour(200, 100, 0), 0u}));
    // New opacity: image x a + screen x (1 - a), and the black texel leaves the screen alone.
    Show(0, 0, 40, 20, 64, MakeColour(0, 255, 100));
    EXPECT_EQ(std::vector({Pixel(5, 5), Pixel(25, 5)}),
              std::vector({MakeColour(50, 216, 75), MakeColour(0, 255, 100)}));
    Show(10, 0, 40, 20, 128);  // moved, and black beneath again
    EXPECT_EQ(std::vector({Pixel(5, 5), Pixel(15, 5)}), std::vector({0u, MakeColour(100, 50, 0)}));
    ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);  // painted on, shown while the drawing goes on
    for (const int32_t channel : {1, 2, 0}) {
        DrawSegment(0, 0, 1, 0, 250u << (8 * channel));
        if (channel == 0) EndDraw();
        Show(10, 0, 40, 20, 128);
        EXPECT_EQ(Pixel(15, 5), 125u << (8 * channel)) << channel;
    }
    // New filtering: towards the black texel the edge fades into the screen.
    SetScaledFiltering(1);
    Show(10, 0, 40, 20, 255, MakeColour(100, 100, 100));
    EXPECT_EQ(std::vector({Pixel(15, 5), Pixel(40, 5)}),
              std::vector({MakeColour(250, 0, 0), MakeColour(100, 100, 100)}));
    for (int32_t x = 15; x < 40; ++x) {
        const uint32_t p = Pixel(x, 5), next = Pixel(x + 1, 5);
        EXPECT_EQ(Channel(p, 1), Channel(p, 2)) << x;
        EXPECT_TRUE(Channel(p, 0) >= Channel(next, 0) && Channel(p, 1) <= Channel(next, 1)) << x;
    }
    EXPECT_TRUE(Channel(Pixel(29, 5), 1) > 0 && Channel(Pixel(29, 5), 1) < 100);  // a ramp, no hard edge
    // Bilinear filtering maps pixel centres onto texel centres. Doubled: the outer pixels
    // lie beyond the texel centres (clamped), the inner ones a quarter of a texel from them.
    // Shrunk to one pixel, or the middle one of three: halfway between.
    MakeScaled(2, 1, [](int32_t x, int32_t) { return MakeColour(x == 0 ? 255 : 0, 0, x == 0 ? 0 : 255); });
    for (const auto& red : {std::vector{255, 191, 64, 0}, {128}, {255, 128, 0}}) {
        const auto width = static_cast<int32_t>(red.size());
        Show(0, 0, width, 1, 255);
        for (int32_t x = 0; x < width; ++x) {
            EXPECT_NEAR(Channel(Pixel(x, 0), 0), red[x], 1) << width << " at " << x;
            EXPECT_NEAR(Channel(Pixel(x, 0), 2), 255 - red[x], 1) << width << " at " << x;
        }
        EXPECT_EQ(Pixel(width, 0), 0u);
    }
    // A second pass before the first is written: the first keeps its own picture.
    std::vector<std::vector<uint32_t>> shots;
    for (const bool writeBetween : {true, false}) {
        Show(0, 0, 2, 1, 255);
        ASSERT_EQ(BeginScaledPass(), 1);
        ShowScaledSprite(1, 0, 0, 255);
        if (writeBetween) SettledBackBuffer();
        SetScaledSize(1, 7, 5);
        ShowScaledSprite(1, 1, 0, 100);
        EndScaledPass();
        shots.push_back(SettledBackBuffer().pixels);
    }
    EXPECT_EQ(shots[0], shots[1]);
    ReleaseDrawing();  // forgets the sprite
    Show(10, 0, 40, 20, 255);
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);
}

// Scrolling reuses the stretched picture worked out for earlier frames; what it
// shows must be exactly what a fresh start shows at the same place.
TEST_F(PlatformTest, ScrolledAndClippedPicturesShowWhatAFreshStartShows) {
    const std::pair<int32_t, int32_t> path[] = {{-100, -60},  {-110, -60},  {-110, -50}, {-250, -60},
                                                {-900, -300}, {-890, -300}, {300, 200},  {310, 190}};
    MakeScaled(60, 45);
    SetScaledFiltering(1);
    for (const auto& [x, y] : path) {
        Show(x, y, 1200, 900, 128);  // with what the step before worked out
        const std::vector<uint32_t> scrolled = SettledBackBuffer().pixels;
        ASSERT_EQ(MakeScaledSprite(1, 1), 1);  // forgets it
        Show(x, y, 1200, 900, 128);
        EXPECT_EQ(scrolled, SettledBackBuffer().pixels) << x << "," << y;
    }
    // Nearest texel, full opacity: pixel (sx, sy) shows texel ((sx - x) / 20, (sy - y) / 20),
    // clipped at every edge.
    SetScaledFiltering(0);
    for (const auto& [x, y] : {std::pair{-600, -400}, {-610, -390}, {300, 200}, {-1190, 760}, {1020, -890}}) {
        Show(x, y, 1200, 900, 255);
        for (int32_t sy = 0; sy < SCREEN_HEIGHT; ++sy) {
            for (int32_t sx = 0; sx < SCREEN_WIDTH; ++sx) {
                const bool onSprite = sx >= x && sx - x < 1200 && sy >= y && sy - y < 900;
                ASSERT_EQ(Pixel(sx, sy), onSprite ? TestColour((sx - x) / 20, (sy - y) / 20) : 0u)
                    << x << "," << y << " at " << sx << "," << sy;
            }
        }
    }
}
