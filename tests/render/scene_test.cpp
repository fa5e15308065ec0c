// The force colours and the beams' stroke; everything else the scene draws is pinned
// by the reference frames.
#include "render/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <random>
#include <vector>

#include "platform/draw/surface.h"
#include "tests/support/fixture.h"

namespace {

TEST(BeamForceColourTest, FollowsTheLegendFromRedOverGreenToBlue) {
    const std::pair<float, fixture::Rgb> cases[] = {
        {5.0f, {215, 95, 55}},     {2.0f, {155, 155, 55}}, {1.0f, {55, 255, 55}},
        {0.5f, {55, 155, 155}},    {0.2f, {55, 95, 215}},  {0.0f, {55, 55, 255}},
        {INFINITY, {255, 55, 55}}, {1e30f, {255, 55, 55}}, {NAN, {55, 55, 255}},
    };
    for (const auto& [load, rgb] : cases) EXPECT_EQ(fixture::ColourOf(BeamForceColour(load)), rgb) << load;
}

// The one-pass stroke against the five segments it replaced, each rounded on its own,
// on a small screen: beams of every length and direction, on exact halves and next to
// them, and reaching far beyond the screen and the int range.
TEST(BeamStrokeTest, OnePassDrawsTheFiveShiftedSegmentsExactly) {
    ResetDrawing();
    AllocateBackBuffer(160, 120);
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    std::mt19937 random(13);
    std::uniform_real_distribution<double> onScreen(-300.0, 460.0);
    std::uniform_real_distribution<double> far(1e3, 1e10);
    const auto position = [&](double from) {
        const double x = onScreen(random);
        switch (random() % 7) {
            case 0:
                return from + static_cast<double>(random() % 25) - 12.0;
            case 1:
                return std::floor(x) + 0.5;
            case 2:
                return std::nextafter(std::floor(x) + 0.5, random() % 2 == 0 ? -1e300 : 1e300);
            case 3:
                return random() % 2 == 0 ? far(random) : -far(random);
            case 4:
                return std::round(x);
            default:
                return x;
        }
    };
    for (int trial = 0; trial < 4000; ++trial) {
        const double x1 = position(80.0), y1 = position(60.0);
        const double x2 = position(x1), y2 = position(y1);
        const uint32_t colour = MakeColour(trial % 256, 200, 100);
        std::fill(backBuffer.pixels.begin(), backBuffer.pixels.end(), 0u);
        const int32_t ax = RoundToPixel(x1), ay = RoundToPixel(y1), bx = RoundToPixel(x2),
                      by = RoundToPixel(y2);
        DrawSegmentBetween(ax, ay, bx, by, colour);
        for (const double d : {-1.0, 1.0}) {
            DrawSegmentBetween(RoundToPixel(x1 + d), ay, RoundToPixel(x2 + d), by, colour);
            DrawSegmentBetween(ax, RoundToPixel(y1 + d), bx, RoundToPixel(y2 + d), colour);
        }
        const std::vector<uint32_t> fiveSegments = backBuffer.pixels;
        std::fill(backBuffer.pixels.begin(), backBuffer.pixels.end(), 0u);
        DrawStroke(StrokeSegments(x1, y1, x2, y2), colour);
        ASSERT_EQ(backBuffer.pixels, fiveSegments)
            << std::setprecision(17) << x1 << "," << y1 << " -> " << x2 << "," << y2;
    }
    EndDraw();
    ResetDrawing();
}

}  // namespace
