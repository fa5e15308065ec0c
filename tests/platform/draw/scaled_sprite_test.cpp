// Scaled sprites: stretching, filtering, clipping, and the stretched picture kept
// between passes. The level's background as the game shows it (its opacity and
// filtering) is pinned by the reference frames.
#include <utility>
#include <vector>

#include "tests/platform/platform_test.h"

namespace {

// Loads a picture as texture sprite 1 and makes scaled sprite 1 from it.
void MakeScaled(int32_t width, int32_t height) {
    const std::string path = WriteBitmap("scaled.bmp", width, height, 24);
    ASSERT_EQ(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_TEXTURE), 1) << LastSpriteError();
    ASSERT_EQ(MakeScaledSprite(1, 1), 1);
}

void Show(int32_t x, int32_t y, int32_t width, int32_t height, int32_t opacity) {
    ClearBackBuffer(0, 0, 0);
    SetScaledSize(1, width, height);
    ASSERT_EQ(BeginScaledPass(), 1);
    ShowScaledSprite(1, x, y, opacity);
    EndScaledPass();
    SettledBackBuffer();  // as PresentFrame would
}

}  // namespace

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
