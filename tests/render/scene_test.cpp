// The force colours, the grid's row order and the beams' stroke; everything else the scene draws is pinned
// by the reference frames.
#include "render/scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
    // The rounding as it was, through the library; each shifted copy rounded on its own.
    const auto pixel = [](double v) {
        const double limit = static_cast<double>(PIXEL_LIMIT);
        return std::isnan(v) ? static_cast<int32_t>(-PIXEL_LIMIT)
                             : static_cast<int32_t>(std::nearbyint(std::clamp(v, -limit, limit)));
    };
    // First beams ending on, just inside and just outside each edge, along and across
    // their walk; then random ones.
    std::vector<std::array<double, 4>> beams;
    for (const double d : {-2.0, -1.0, 0.0, 1.0, 2.0}) {
        for (const double slope : {0.0, 3.0}) {
            beams.push_back({80, 60 + slope, 159 + d, 60});
            beams.push_back({80, 60 + slope, -d, 60});
            beams.push_back({80 + slope, 60, 80, 119 + d});
            beams.push_back({80 + slope, 60, 80, -d});
        }
        beams.push_back({20, 100, 100, 119 + d});
        beams.push_back({20, 20, 100, -d});
        beams.push_back({100, 20, 159 + d, 100});
        beams.push_back({60, 20, -d, 100});
    }
    for (int trial = 0; trial < 4000; ++trial) {
        const double x1 = position(80.0), y1 = position(60.0);
        beams.push_back({x1, y1, position(x1), position(y1)});
    }
    for (std::size_t trial = 0; trial < beams.size(); ++trial) {
        const auto [x1, y1, x2, y2] = beams[trial];
        const uint32_t colour = MakeColour(trial % 256, 200, 100);
        std::ranges::fill(SettledBackBuffer().pixels, 0u);
        DrawSegmentBetween(pixel(x1), pixel(y1), pixel(x2), pixel(y2), colour);
        for (const double d : {-1.0, 1.0}) {
            DrawSegmentBetween(pixel(x1 + d), pixel(y1), pixel(x2 + d), pixel(y2), colour);
            DrawSegmentBetween(pixel(x1), pixel(y1 + d), pixel(x2), pixel(y2 + d), colour);
        }
        const std::vector<uint32_t> fiveSegments = SettledBackBuffer().pixels;
        std::ranges::fill(SettledBackBuffer().pixels, 0u);
        DrawStroke(StrokeSegments(x1, y1, x2, y2), colour);
        ASSERT_EQ(SettledBackBuffer().pixels, fiveSegments)
            << std::setprecision(17) << x1 << "," << y1 << " -> " << x2 << "," << y2;
    }
    EndDraw();
    ResetDrawing();
}

// The grid drawn a row at a time against its three passes of whole lines, in views
// that show its ends and corners, or nothing of it.
TEST(GridTest, RowByRowDrawsTheThreePassesOfWholeLines) {
    ResetDrawing();
    AllocateBackBuffer(SCREEN_WIDTH, SCREEN_HEIGHT);
    const int32_t views[][4] = {{100, 70, -488, -316}, {3, 3, 500, 400},        {100, 70, -1000, -700},
                                {100, 70, 1020, 760},  {100, 70, -2000, -1400}, {100, 70, -2001, -1401},
                                {300, 300, -5013, 7}};
    for (const auto& [width, height, x, y] : views) {
        gridWidth = width, gridHeight = height, editor.viewOffsetX = x, editor.viewOffsetY = y;
        ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
        std::ranges::fill(SettledBackBuffer().pixels, 0u);
        for (const auto& [grey, step] : {std::pair{80, 1}, {120, 4}, {160, 8}}) {
            SetPenColour(grey, grey, grey);
            for (int32_t i = 0; i <= width; i += step) DrawSegment(ScreenXOfColumn(i), y, 0, 20 * height);
            for (int32_t j = 0; j <= height; j += step) DrawSegment(x, ScreenYOfRow(j), 20 * width, 0);
        }
        const std::vector<uint32_t> wholeLines = SettledBackBuffer().pixels;
        std::ranges::fill(SettledBackBuffer().pixels, 0u);
        DrawGridLines();
        EndDraw();
        EXPECT_EQ(SettledBackBuffer().pixels, wholeLines)
            << width << " x " << height << " at " << x << ", " << y;
    }
    ResetDrawing();
}

}  // namespace
