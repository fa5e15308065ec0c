#include "platform/screen/picture_scale.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/display.h"

namespace {

TEST(PictureScaleTest, PictureFitsCentredBetweenBars) {
    struct Case {
        int32_t screenWidth, screenHeight;
        PicturePlace place;
    };
    for (const Case c : {Case{1024, 768, {0, 0, 1024, 768}}, Case{1920, 1080, {240, 0, 1440, 1080}},
                         Case{2048, 1536, {0, 0, 2048, 1536}}, Case{1280, 1024, {0, 32, 1280, 960}},
                         Case{3840, 2160, {480, 0, 2880, 2160}}, Case{800, 600, {0, 0, 800, 600}}}) {
        EXPECT_EQ(FitPicture(1024, 768, c.screenWidth, c.screenHeight), c.place)
            << c.screenWidth << "x" << c.screenHeight;
    }
}

// A touch on the screen names the game pixel drawn there, or one beyond the edge
// it is beside: at 1:1, at twice the size, and on a phone's 2532 x 1170 screen.
TEST(PictureScaleTest, ScreenPointsNameTheGamePixelShownThere) {
    const struct {
        int32_t screen, placeStart, placeSize, source;
    } cases[] = {
        {0, 0, 1024, 0},      {1023, 0, 1024, 1023}, {1024, 0, 1024, 1024},   {-1, 0, 1024, -1},
        {241, 240, 2048, 0},  {242, 240, 2048, 1},   {2287, 240, 2048, 1023}, {486, 486, 1560, 0},
        {487, 486, 1560, 0},  {488, 486, 1560, 1},   {2045, 486, 1560, 1023}, {2046, 486, 1560, 1024},
        {485, 486, 1560, -1}, {0, 486, 1560, -319},  {1266, 486, 1560, 512},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SourceCoordinate(c.screen, c.placeStart, c.placeSize, 1024), c.source)
            << c.screen << " on " << c.placeStart << "+" << c.placeSize;
    }
}

// Along one axis: every game pixel keeps at least one screen pixel of its own
// colour, between two game pixels at most one screen pixel is blended, and an
// integer ratio makes exact blocks.
TEST(PictureScaleTest, EveryPixelKeepsItsOwnColourAndEdgesBlurByOnePixelAtMost) {
    for (const int32_t output : {1024, 1080, 1200, 1440, 1536, 1920, 2048, 2160, 2880, 3072}) {
        for (const int32_t source : {768, 1024}) {
            if (output < source) continue;
            const ScaleAxis axis = MakeScaleAxis(source, output);
            ASSERT_EQ(axis.first.size(), static_cast<std::size_t>(output));
            std::vector<int32_t> pure(source, 0);
            std::vector<int32_t> blended(source, 0);  // by the edge after each pixel
            for (int32_t o = 0; o < output; ++o) {
                const int32_t first = axis.first[o];
                ASSERT_GE(first, 0);
                ASSERT_LT(first + (axis.weight[o] > 0 ? 1 : 0), source);
                ASSERT_TRUE(o == 0 || first >= axis.first[o - 1]) << "not in order at " << o;
                if (axis.weight[o] == 0) {
                    ++pure[first];
                } else {
                    ASSERT_LT(axis.weight[o], 256);
                    ++blended[first];
                }
            }
            // The picture scaled is the picture mirrored, scaled and mirrored back: an edge
            // blends the same way seen from either side.
            for (int32_t o = 0; o < output; ++o) {
                const int32_t mirror = output - 1 - o;
                if (axis.weight[o] == 0) continue;
                EXPECT_EQ(axis.first[mirror], source - 2 - axis.first[o])
                    << source << " -> " << output << ": " << o;
                EXPECT_NEAR(axis.weight[mirror], 256 - axis.weight[o], 1)
                    << source << " -> " << output << ": " << o;
            }
            for (int32_t i = 0; i < source; ++i) {
                EXPECT_GE(pure[i], 1) << source << " -> " << output << ": pixel " << i << " lost its colour";
                EXPECT_LE(blended[i], 1) << source << " -> " << output << ": edge after " << i;
                if (output % source == 0) {
                    EXPECT_EQ(pure[i], output / source) << source << " -> " << output;
                }
            }
        }
    }
}

// A checkerboard scaled whole: a screen pixel is pure black or white exactly where
// neither axis blends, and shows its own game pixel there; every blended pixel, on
// either side of an edge and in both directions, is a mix.
TEST(PictureScaleTest, BlendedPixelsMixTheirNeighboursOnBothAxes) {
    constexpr int32_t SOURCE_WIDTH = 8, SOURCE_HEIGHT = 6;
    constexpr uint32_t WHITE = MakeColour(255, 255, 255);
    std::vector<uint32_t> board(SOURCE_WIDTH * SOURCE_HEIGHT);
    for (int32_t y = 0; y < SOURCE_HEIGHT; ++y) {
        for (int32_t x = 0; x < SOURCE_WIDTH; ++x) board[y * SOURCE_WIDTH + x] = (x + y) % 2 == 0 ? WHITE : 0;
    }
    for (const auto& [screenWidth, screenHeight] : {std::pair{20, 15}, {27, 21}, {16, 12}, {13, 10}}) {
        PictureScaler scaler;
        PrepareScaler(scaler, SOURCE_WIDTH, SOURCE_HEIGHT, screenWidth, screenHeight);
        const PicturePlace place = scaler.place;
        std::vector<uint32_t> out(static_cast<std::size_t>(place.width) * place.height, 0x12345678u);
        ScaleChangedRows(scaler, board.data(), out.data(), place.width, false);
        for (int32_t y = 0; y < place.height; ++y) {
            for (int32_t x = 0; x < place.width; ++x) {
                const uint32_t pixel = out[y * place.width + x];
                const bool pure = scaler.columns.weight[x] == 0 && scaler.rows.weight[y] == 0;
                const uint32_t own = board[scaler.rows.first[y] * SOURCE_WIDTH + scaler.columns.first[x]];
                EXPECT_EQ(pixel == 0 || pixel == WHITE, pure) << screenWidth << ": " << x << "," << y;
                if (pure) {
                    EXPECT_EQ(pixel, own) << screenWidth << ": " << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
