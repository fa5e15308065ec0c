// Segments, boxes, circles, pixel reads and drawing targets, read back pixel by pixel.
#include <climits>
#include <random>
#include <set>
#include <utility>

#include "tests/platform/platform_test.h"

namespace {

constexpr uint32_t WHITE = MakeColour(255, 255, 255);
constexpr uint32_t GREY = MakeColour(9, 9, 9);

using PixelSet = std::set<std::pair<int64_t, int64_t>>;

// The plain integer line walk, end point left out, kept where it lands on the buffer.
PixelSet WalkLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    PixelSet pixels;
    const int64_t adx = std::abs(x1 - x0), ady = std::abs(y1 - y0);
    const int64_t sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const int64_t b = xMajor ? adx : ady, a = xMajor ? ady : adx;
    int64_t error = 2 * a - b, x = x0, y = y0;
    for (int64_t i = 0; i < b; ++i) {
        if (x >= 0 && x < SCREEN_WIDTH && y >= 0 && y < SCREEN_HEIGHT) pixels.insert({x, y});
        if (error >= 0) {
            xMajor ? y += sy : x += sx;
            error -= 2 * b;
        }
        error += 2 * a;
        xMajor ? x += sx : y += sy;
    }
    return pixels;
}

PixelSet PixelsOf(uint32_t colour) {
    PixelSet pixels;
    for (int64_t y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int64_t x = 0; x < SCREEN_WIDTH; ++x) {
            if (Pixel(x, y) == colour) pixels.insert({x, y});
        }
    }
    return pixels;
}

// Whether pixel (px, py) has its centre inside the circle of DrawCircle(x, y, r).
bool InDisc(int64_t x, int64_t y, int64_t r, int64_t px, int64_t py) {
    __extension__ typedef __int128 Wide;
    const Wide u = 2 * (px - x) + 1, v = 2 * (py - y) + 1;
    return u * u + v * v <= Wide{4} * r * r;
}

}  // namespace

TEST_F(PlatformTest, SegmentsMatchThePlainLineWalkOnAndOffTheBuffer) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    std::mt19937 random(12345);
    std::uniform_int_distribution<int32_t> coordinate(-1500, 2500);
    for (int trial = 0; trial < 300; ++trial) {
        const int32_t x0 = coordinate(random), y0 = coordinate(random);
        const int32_t x1 = trial % 5 == 0 ? x0 + trial % 7 : coordinate(random), y1 = coordinate(random);
        ClearBackBuffer(0, 0, 0);
        DrawSegmentBetween(x0, y0, x1, y1, WHITE);
        ASSERT_EQ(PixelsOf(WHITE), WalkLine(x0, y0, x1, y1)) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    }
    // Spans beyond 2^30 need wider arithmetic. Along a slope of 1/2, 2 or 1 the walk
    // repeats every step or two, so from any lattice point it matches a short segment.
    const struct {
        int32_t x0, y0, x1, y1;
        PixelSet expected;
    } far[] = {
        {100, 50, 2'000'000'100, 1'000'000'050, WalkLine(100, 50, 2100, 1050)},
        {600, 20, -999'999'400, 2'000'000'020, WalkLine(600, 20, -400, 2020)},
        {-2'000'000'000, -999'999'700, 2'000'000'000, 1'000'000'300, WalkLine(0, 300, 2000, 1300)},
        {1'000'000'300, 2'000'000'767, -999'999'700, -1'999'999'233, WalkLine(300, 767, -700, -1233)},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, WalkLine(0, 0, 1000, 1000)},
        {-1'000'000'000, 5, 1'000'000'000, 5, WalkLine(0, 5, 1024, 5)},
    };
    for (const auto& c : far) {
        ClearBackBuffer(0, 0, 0);
        DrawSegmentBetween(c.x0, c.y0, c.x1, c.y1, WHITE);
        EXPECT_EQ(PixelsOf(WHITE), c.expected) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
    }
    // Relative segments: a vertical one, and one whose end lies beyond int32.
    ClearBackBuffer(0, 0, 0);
    DrawSegment(500, 0, 0, 140, WHITE);
    EXPECT_EQ(PixelsOf(WHITE), WalkLine(500, 0, 500, 140));
    ClearBackBuffer(0, 0, 0);
    DrawSegment(-10, 30, INT_MAX, 0, WHITE);
    EXPECT_EQ(PixelsOf(WHITE), WalkLine(0, 30, 1024, 30));
}

TEST_F(PlatformTest, BoxesCoverTheSpanBetweenTheirCornersAndOutlinesItsBorder) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const struct {
        int32_t x, y, w, h;
        int64_t left, top, right, bottom;  // the whole box, inclusive, even off the buffer
    } cases[] = {
        {850, 30, 40, 5, 850, 30, 889, 34},
        {100, 100, -10, -4, 90, 96, 99, 99},
        {100, 100, 10, -4, 100, 96, 109, 99},
        {5, 6, 1, 1, 5, 6, 5, 6},
        {-20, -20, 25, 30, -20, -20, 4, 9},
        {1020, 760, 100, 100, 1020, 760, 1119, 859},
        {10, 10, 0, 50, 10, 10, 9, 59},
        {-10, -10, INT_MAX, INT_MAX, -10, -10, INT_MAX - 11, INT_MAX - 11},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MIN, -2, -2},
        {-1, 3, INT_MAX, INT_MIN, -1, int64_t{INT_MIN} + 3, INT_MAX - 2, 2},
    };
    for (const auto& c : cases) {
        for (const int32_t flags : {DRAW_TRANSPARENT_TEXT, DRAW_OUTLINE}) {
            ClearBackBuffer(0, 0, 0);
            SetDrawFlags(flags);
            DrawBox(c.x, c.y, c.w, c.h, WHITE);
            for (int64_t y = 0; y < SCREEN_HEIGHT; ++y) {
                for (int64_t x = 0; x < SCREEN_WIDTH; ++x) {
                    const bool inside = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                    const bool border = x == c.left || x == c.right || y == c.top || y == c.bottom;
                    ASSERT_EQ(Pixel(x, y) == WHITE, inside && (flags != DRAW_OUTLINE || border))
                        << c.x << "," << c.y << " " << c.w << "x" << c.h << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(PlatformTest, CirclesCoverTheDiscOfPixelCentresAndOutlineItsEdge) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const struct {
        int32_t x, y, r;
    } cases[] = {
        {300, 200, 1},
        {300, 200, 2},
        {300, 200, 5},
        {300, 200, 20},
        {300, 200, 57},
        {150, 50, -4},
        {50, 50, 0},
        {512, 384, 2000000000},
        {-1999999500, 384, 2000000000},
        {INT_MIN, 300, INT_MIN},
        {-1000, -1000, 1900},
        {700, 2147483000, 2147483647},
    };
    for (const auto& c : cases) {
        const int64_t r = std::abs(int64_t{c.r});
        for (const int32_t flags : {DRAW_TRANSPARENT_TEXT, DRAW_OUTLINE}) {
            ClearBackBuffer(0, 0, 0);
            SetDrawFlags(flags);
            DrawCircle(c.x, c.y, c.r, WHITE);
            for (int64_t y = 0; y < SCREEN_HEIGHT; ++y) {
                for (int64_t x = 0; x < SCREEN_WIDTH; ++x) {
                    const bool inside = InDisc(c.x, c.y, r, x, y);
                    const bool edge = !InDisc(c.x, c.y, r, x - 1, y) || !InDisc(c.x, c.y, r, x + 1, y) ||
                                      !InDisc(c.x, c.y, r, x, y - 1) || !InDisc(c.x, c.y, r, x, y + 1);
                    ASSERT_EQ(Pixel(x, y) == WHITE, inside && (flags != DRAW_OUTLINE || edge))
                        << c.x << "," << c.y << " r " << c.r << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(PlatformTest, ReadPixelGivesAllBitsOutsideTheTarget) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawSegment(1023, 767, 1, 0, MakeColour(1, 2, 3));
    EXPECT_EQ(ReadPixel(1023, 767), MakeColour(1, 2, 3));
    EXPECT_EQ(ReadPixel(0, 0), 0u);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {1024, 0}, {0, 768}, {INT_MIN, INT_MAX}}) {
        EXPECT_EQ(ReadPixel(x, y), 0xFFFFFFFFu) << x << "," << y;
    }
}

TEST_F(PlatformTest, DrawingNeedsATargetWhichStartsBlackWithoutFlagsAtTheOrigin) {
    ClearBackBuffer(9, 9, 9);
    SetPenColour(255, 255, 255);
    DrawBox(0, 0, 100, 100, WHITE);
    DrawSegment(0, 0, 100, 100, WHITE);
    DrawCircle(50, 50, 20, WHITE);
    SetTextCursor(0, 0);
    DrawLabel("Karnolt");
    EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(BeginDraw(DrawTarget{DRAW_TARGET_NONE, 0}), 0);
    DrawBox(0, 0, 100, 100, WHITE);
    EXPECT_EQ(CountPixels(GREY), SCREEN_WIDTH * SCREEN_HEIGHT);

    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    SetDrawFlags(DRAW_OUTLINE | DRAW_TRANSPARENT_TEXT);
    SetPenColour(255, 255, 255);
    DrawSegment(600, 500, 3, 3);
    // The back buffer is held by one drawing: a second gets none, which ends the first.
    EXPECT_EQ(BeginDraw(BackBufferTarget()), 0);
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawLabel(" ");                // opaque, at the origin: a black cell
    DrawSegment(0, 20, 5, 0);      // black
    DrawBox(20, 20, 4, 4, WHITE);  // filled
    DrawSegmentBetween(100, 100, 110, 105, WHITE);
    DrawLabel(" ");  // at the segment's end point
    EndDraw();
    DrawBox(0, 0, 100, 100, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 3 + 16 + 10);
    EXPECT_EQ(Pixel(0, 0), 0u);
    EXPECT_EQ(Pixel(603, 503), GREY);
    EXPECT_EQ(Pixel(4, 20), 0u);
    EXPECT_EQ(Pixel(110, 105), 0u);
    EXPECT_EQ(Pixel(116, 105), GREY);
    EXPECT_EQ(Pixel(110, 104), GREY);

    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawBox(0, 0, 1, 1, MakeColour(3, 4, 5));  // a colour argument stays the current colour
    DrawSegment(10, 10, 3, 0);
    EXPECT_EQ(Pixel(11, 10), MakeColour(3, 4, 5));
    SetPenColour(200, 100, 50);
    DrawSegment(10, 11, 3, 0);
    EXPECT_EQ(Pixel(12, 11), MakeColour(200, 100, 50));
}
