// Segments, boxes, circles, pixel reads and drawing targets, read back pixel by pixel.
#include <climits>
#include <random>
#include <set>
#include <utility>

#include "tests/platform/platform_test.h"

namespace {

constexpr uint32_t WHITE = MakeColour(255, 255, 255), GREY = MakeColour(9, 9, 9);

using PixelSet = std::set<std::pair<int64_t, int64_t>>;

// The plain integer line walk, end point left out, kept where it lands on the buffer.
PixelSet WalkLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    PixelSet pixels;
    const int64_t adx = std::abs(x1 - x0), ady = std::abs(y1 - y0), sx = x1 < x0 ? -1 : 1,
                  sy = y1 < y0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const int64_t b = xMajor ? adx : ady, a = xMajor ? ady : adx;
    for (int64_t i = 0, error = 2 * a - b, x = x0, y = y0; i < b;
         ++i, error += 2 * a, xMajor ? x += sx : y += sy) {
        if (x >= 0 && x < SCREEN_WIDTH && y >= 0 && y < SCREEN_HEIGHT) pixels.insert({x, y});
        if (error >= 0) xMajor ? y += sy : x += sx, error -= 2 * b;
    }
    return pixels;
}

// Draws the shape filled, then outlined: every pixel must be white exactly where `covered` says.
template <typename Draw, typename Covered>
void ExpectShape(Draw draw, Covered covered, const std::string& what) {
    for (const bool outline : {false, true}) {
        ClearBackBuffer(0, 0, 0);
        SetDrawFlags(outline ? DRAW_OUTLINE : DRAW_TRANSPARENT_TEXT);
        draw();
        for (int64_t y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int64_t x = 0; x < SCREEN_WIDTH; ++x) {
                ASSERT_EQ(Pixel(x, y) == WHITE, covered(x, y, outline))
                    << what << outline << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace

TEST_F(PlatformTest, SegmentsMatchThePlainLineWalkOnAndOffTheBuffer) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const auto expectWalk = [](int32_t x0, int32_t y0, int32_t x1, int32_t y1, const PixelSet& walk) {
        ClearBackBuffer(0, 0, 0);
        DrawSegmentBetween(x0, y0, x1, y1, WHITE);
        PixelSet drawn;
        for (int64_t i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) {
            if (SettledBackBuffer().pixels[i] == WHITE) drawn.insert({i % SCREEN_WIDTH, i / SCREEN_WIDTH});
        }
        EXPECT_EQ(drawn, walk) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    };
    std::mt19937 random(12345);
    std::uniform_int_distribution<int32_t> coordinate(-1500, 2500);
    for (int trial = 0; trial < 300; ++trial) {
        const int32_t x0 = coordinate(random), y0 = coordinate(random);
        const int32_t x1 = trial % 5 == 0 ? x0 + trial % 7 : coordinate(random), y1 = coordinate(random);
        expectWalk(x0, y0, x1, y1, WalkLine(x0, y0, x1, y1));
    }
    // Spans beyond 2^30 need wider arithmetic. Along a slope of 1/2, 2 or 1 the walk
    // repeats every step or two, so from any lattice point it matches a short segment.
    expectWalk(100, 50, 2'000'000'100, 1'000'000'050, WalkLine(100, 50, 2100, 1050));
    expectWalk(600, 20, -999'999'400, 2'000'000'020, WalkLine(600, 20, -400, 2020));
    expectWalk(-2'000'000'000, -999'999'700, 2'000'000'000, 1'000'000'300, WalkLine(0, 300, 2000, 1300));
    expectWalk(1'000'000'300, 2'000'000'767, -999'999'700, -1'999'999'233, WalkLine(300, 767, -700, -1233));
    expectWalk(INT_MIN, INT_MIN, INT_MAX, INT_MAX, WalkLine(0, 0, 1000, 1000));
    expectWalk(-1'000'000'000, 5, 1'000'000'000, 5, WalkLine(0, 5, 1024, 5));
}

TEST_F(PlatformTest, BoxesAndCirclesCoverTheirAreaAndOutlineItsEdge) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    // A box covers the span between its corners, the larger one left out, even off the buffer.
    const struct {
        int32_t x, y, w, h;
        int64_t left, top, right, bottom;  // inclusive
    } boxes[] = {
        // clang-format off
        {850, 30, 40, 5, 850, 30, 889, 34}, {100, 100, -10, -4, 90, 96, 99, 99},
        {100, 100, 10, -4, 100, 96, 109, 99}, {-20, -20, 25, 30, -20, -20, 4, 9},
        {1020, 760, 100, 100, 1020, 760, 1119, 859}, {10, 10, 0, 50, 10, 10, 9, 59},
        {-10, -10, INT_MAX, INT_MAX, -10, -10, INT_MAX - 11, INT_MAX - 11},
        {-1, 3, INT_MAX, INT_MIN, -1, int64_t{INT_MIN} + 3, INT_MAX - 2, 2},
        // clang-format on
    };
    for (const auto& c : boxes) {
        ExpectShape([&c] { DrawBox(c.x, c.y, c.w, c.h, WHITE); },
                    [&c](int64_t x, int64_t y, bool outline) {
                        const bool edge = x == c.left || x == c.right || y == c.top || y == c.bottom;
                        return x >= c.left && x <= c.right && y >= c.top && y <= c.bottom &&
                               (edge || !outline);
                    },
                    "box " + std::to_string(&c - boxes));
    }
    // A circle covers the pixels whose centres lie inside it; its outline, those of them
    // with a neighbour outside.
    const struct {
        int32_t x, y, r;
    } circles[] = {
        // clang-format off
        {300, 200, 1}, {300, 200, 2}, {300, 200, 5}, {300, 200, 57}, {150, 50, -4}, {50, 50, 0},
        {512, 384, 2000000000}, {-1999999500, 384, 2000000000}, {INT_MIN, 300, INT_MIN},
        {-1000, -1000, 1900}, {700, 2147483000, INT_MAX},
        // clang-format on
    };
    for (const auto& c : circles) {
        const auto inside = [&c](int64_t px, int64_t py) {
            __extension__ typedef __int128 Wide;
            const Wide u = 2 * (px - c.x) + 1, v = 2 * (py - c.y) + 1;
            return u * u + v * v <= Wide{4} * c.r * c.r;
        };
        ExpectShape([&c] { DrawCircle(c.x, c.y, c.r, WHITE); },
                    [&inside](int64_t x, int64_t y, bool outline) {
                        const bool edge =
                            !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
                        return inside(x, y) && (edge || !outline);
                    },
                    "circle " + std::to_string(&c - circles));
    }
}
