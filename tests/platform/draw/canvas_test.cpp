// Segments, boxes, circles, pixel reads and drawing targets, read back pixel by pixel.
#include <climits>
#include <random>
#include <set>
#include <utility>

#include "draw_fixture.h"

namespace {

constexpr uint32_t WHITE = MakeColour(255, 255, 255);
constexpr uint32_t RED = MakeColour(255, 0, 0);

using PixelSet = std::set<std::pair<int64_t, int64_t>>;

// The plain integer line walk from the start towards the end, end left out, every
// pixel visited; kept only where it lands on the 1024 x 768 buffer.
PixelSet WalkLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    PixelSet pixels;
    const int64_t dx = x1 - x0, dy = y1 - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const int64_t b = xMajor ? adx : ady, a = xMajor ? ady : adx;
    int64_t error = 2 * a - b;
    int64_t x = x0, y = y0;
    for (int64_t i = 0; i < b; ++i) {
        if (x >= 0 && x < 1024 && y >= 0 && y < 768) {
            pixels.insert({x, y});
        }
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
    for (int64_t y = 0; y < 768; ++y) {
        for (int64_t x = 0; x < 1024; ++x) {
            if (backBuffer.pixels[static_cast<std::size_t>(y * 1024 + x)] == colour) {
                pixels.insert({x, y});
            }
        }
    }
    return pixels;
}

// Whether pixel (px, py) lies in the disc of DrawCircle(x, y, r): its centre inside the circle.
bool InDisc(int64_t x, int64_t y, int64_t r, int64_t px, int64_t py) {
    __extension__ typedef __int128 Wide;
    const Wide u = 2 * (px - x) + 1, v = 2 * (py - y) + 1;
    return u * u + v * v <= Wide{4} * r * r;
}

}  // namespace

TEST_F(DrawTest, SegmentsCoverTheirStartButNotTheirEnd) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawSegment(0, 0, 0, 0, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 0);
    DrawSegment(0, 0, 10, 0, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 10);
    EXPECT_EQ(Pixel(9, 0), WHITE);
    EXPECT_EQ(Pixel(10, 0), 0u);
    for (int32_t n : {1, 2, 7, 38}) {
        ClearBackBuffer(0, 0, 0);
        DrawSegment(500, 0, 0, 20 * n, WHITE);
        EXPECT_EQ(CountPixels(WHITE), 20 * n) << n;
        EXPECT_EQ(Pixel(500, 20 * n - 1), WHITE);
    }
    // Backwards: the end point (left) is left out, the start point (right) is drawn.
    ClearBackBuffer(0, 0, 0);
    DrawSegmentBetween(100, 50, 90, 50, RED);
    EXPECT_EQ(Pixel(100, 50), RED);
    EXPECT_EQ(Pixel(90, 50), 0u);
    EXPECT_EQ(CountPixels(RED), 10);
}

TEST_F(DrawTest, SegmentsMatchThePlainLineWalkOnAndOffTheBuffer) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    std::mt19937 random(12345);
    std::uniform_int_distribution<int32_t> coordinate(-1500, 2500);
    for (int trial = 0; trial < 300; ++trial) {
        const int32_t x0 = coordinate(random), y0 = coordinate(random);
        const int32_t x1 = trial % 5 == 0 ? x0 + trial % 7 : coordinate(random);
        const int32_t y1 = coordinate(random);
        ClearBackBuffer(0, 0, 0);
        DrawSegmentBetween(x0, y0, x1, y1, WHITE);
        ASSERT_EQ(PixelsOf(WHITE), WalkLine(x0, y0, x1, y1)) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    }
}

TEST_F(DrawTest, FarAndHugeSegmentsAreExactAndSafe) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawSegmentBetween(-1000000000, 5, 1000000000, 5, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 1024);
    for (int32_t x = 0; x < 1024; ++x) {
        ASSERT_EQ(Pixel(x, 5), WHITE);
    }
    // Corner to corner of the int32 plane: the exact diagonal through the origin.
    ClearBackBuffer(0, 0, 0);
    DrawSegmentBetween(INT_MIN, INT_MIN, INT_MAX, INT_MAX, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 768);
    EXPECT_EQ(Pixel(0, 0), WHITE);
    EXPECT_EQ(Pixel(767, 767), WHITE);

    // Steep and shallow lines from far away, against the walk restricted to the buffer.
    const struct {
        int32_t x0, y0, x1, y1;
    } cases[] = {
        {-2000000000, -7, 2000000000, 900},
        {300, -2100000000, 700, 2100000000},
        {INT_MAX, INT_MAX, INT_MIN, 0},
        {-5, 3, 1030, 770},
    };
    for (const auto& c : cases) {
        ClearBackBuffer(0, 0, 0);
        DrawSegmentBetween(c.x0, c.y0, c.x1, c.y1, WHITE);
        const PixelSet drawn = PixelsOf(WHITE);
        // The walk itself would take billions of steps; check each drawn pixel against
        // the closed rule and that every buffer column (or row) it spans has one pixel.
        const int64_t dx = int64_t{c.x1} - c.x0, dy = int64_t{c.y1} - c.y0;
        const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
        for (const auto& [x, y] : drawn) {
            const int64_t i = xMajor ? (x - c.x0) * (dx < 0 ? -1 : 1) : (y - c.y0) * (dy < 0 ? -1 : 1);
            __extension__ typedef __int128 Wide;
            const Wide a = xMajor ? (dy < 0 ? -dy : dy) : (dx < 0 ? -dx : dx);
            const Wide b = xMajor ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
            const auto offset = static_cast<int64_t>((Wide{2} * i * a + b) / (Wide{2} * b));
            const int64_t minor =
                xMajor ? c.y0 + offset * (dy < 0 ? -1 : 1) : c.x0 + offset * (dx < 0 ? -1 : 1);
            ASSERT_EQ(xMajor ? y : x, minor);
        }
    }
    // Relative segments whose end overflows int32 still end where they should.
    ClearBackBuffer(0, 0, 0);
    DrawSegment(INT_MAX, 10, INT_MAX, 0, WHITE);
    DrawSegment(INT_MIN, 20, INT_MAX, 0, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 0);
    DrawSegment(-10, 30, INT_MAX, 0, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 1024);
}

TEST_F(DrawTest, BoxesCoverTheirSpanAndNormaliseNegativeSizes) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const struct {
        int32_t x, y, w, h;
        int32_t left, top, right, bottom;  // covered, inclusive
    } cases[] = {
        {850, 30, 40, 5, 850, 30, 889, 34},   {100, 100, -10, -4, 90, 96, 99, 99},
        {100, 100, 10, -4, 100, 96, 109, 99}, {5, 6, 1, 1, 5, 6, 5, 6},
        {-20, -20, 25, 30, 0, 0, 4, 9},       {1020, 760, 100, 100, 1020, 760, 1023, 767},
    };
    for (const auto& c : cases) {
        for (int32_t flags : {DRAW_TRANSPARENT_TEXT, DRAW_OUTLINE}) {
            ClearBackBuffer(0, 0, 0);
            SetDrawFlags(flags);
            DrawBox(c.x, c.y, c.w, c.h, WHITE);
            int64_t expected = 0;
            for (int32_t y = 0; y < 768; ++y) {
                for (int32_t x = 0; x < 1024; ++x) {
                    const bool inside = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                    // The outline is the box's own border, even where the box runs off the buffer.
                    const int32_t boxLeft = std::min(c.x, c.x + c.w), boxTop = std::min(c.y, c.y + c.h);
                    const int32_t boxRight = std::max(c.x, c.x + c.w) - 1,
                                  boxBottom = std::max(c.y, c.y + c.h) - 1;
                    const bool border = x == boxLeft || x == boxRight || y == boxTop || y == boxBottom;
                    const bool covered = inside && (flags != DRAW_OUTLINE || border);
                    expected += covered ? 1 : 0;
                    ASSERT_EQ(Pixel(x, y) == WHITE, covered) << c.x << "," << c.y << " " << x << "," << y;
                }
            }
            EXPECT_GT(expected, 0);
        }
    }
    ClearBackBuffer(0, 0, 0);
    DrawBox(10, 10, 0, 50, WHITE);
    DrawBox(10, 10, 50, 0, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 0);
}

TEST_F(DrawTest, HugeBoxesAreClippedWithoutOverflow) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawBox(INT_MIN, INT_MIN, INT_MAX, INT_MAX, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 0);
    DrawBox(-10, -10, INT_MAX, INT_MAX, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 1024 * 768);
    ClearBackBuffer(0, 0, 0);
    SetDrawFlags(DRAW_OUTLINE);
    DrawBox(INT_MAX, INT_MAX, INT_MIN, INT_MIN, WHITE);  // spans (-1, -1) to INT_MAX - 1
    EXPECT_EQ(CountPixels(WHITE), 0);
    DrawBox(-1, 3, INT_MAX, INT_MIN, WHITE);  // bottom edge at row 2, right edge off screen
    EXPECT_EQ(CountPixels(WHITE), 1024);
    EXPECT_EQ(Pixel(0, 2), WHITE);
}

TEST_F(DrawTest, CirclesCoverTheInscribedDisc) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    for (int32_t radius : {1, 2, 4, 5, 9, 20, 57}) {
        for (int32_t flags : {DRAW_TRANSPARENT_TEXT, DRAW_OUTLINE}) {
            ClearBackBuffer(0, 0, 0);
            SetDrawFlags(flags);
            DrawCircle(300, 200, radius, WHITE);
            int64_t minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
            for (int32_t y = 100; y < 300; ++y) {
                for (int32_t x = 200; x < 400; ++x) {
                    const bool inside = InDisc(300, 200, radius, x, y);
                    const bool boundary =
                        inside &&
                        (!InDisc(300, 200, radius, x - 1, y) || !InDisc(300, 200, radius, x + 1, y) ||
                         !InDisc(300, 200, radius, x, y - 1) || !InDisc(300, 200, radius, x, y + 1));
                    const bool expected = flags == DRAW_OUTLINE ? boundary : inside;
                    ASSERT_EQ(Pixel(x, y) == WHITE, expected) << radius << " at " << x << "," << y;
                    if (Pixel(x, y) == WHITE) {
                        minX = std::min<int64_t>(minX, x), maxX = std::max<int64_t>(maxX, x);
                        minY = std::min<int64_t>(minY, y), maxY = std::max<int64_t>(maxY, y);
                    }
                }
            }
            // Diameter 2r, inside the box (x - r, y - r)..(x + r - 1, y + r - 1).
            EXPECT_EQ(minX, 300 - radius);
            EXPECT_EQ(maxX, 300 + radius - 1);
            EXPECT_EQ(minY, 200 - radius);
            EXPECT_EQ(maxY, 200 + radius - 1);
        }
    }
    ClearBackBuffer(0, 0, 0);
    DrawCircle(50, 50, 0, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 0);
    DrawCircle(50, 50, -4, WHITE);
    DrawCircle(150, 50, 4, RED);
    for (int32_t y = 40; y < 60; ++y) {
        for (int32_t x = 40; x < 60; ++x) {
            ASSERT_EQ(Pixel(x, y) == WHITE, Pixel(x + 100, y) == RED);
        }
    }
}

TEST_F(DrawTest, HugeAndFarCirclesMatchTheDiscRuleOnEveryPixel) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const struct {
        int32_t x, y, r;
    } cases[] = {
        {512, 384, 2000000000},  {-1999999500, 384, 2000000000}, {INT_MAX, INT_MAX, INT_MAX},
        {INT_MIN, 300, INT_MIN}, {-1000, -1000, 1900},           {700, 2147483000, 2147483647},
    };
    for (const auto& c : cases) {
        for (int32_t flags : {DRAW_TRANSPARENT_TEXT, DRAW_OUTLINE}) {
            ClearBackBuffer(0, 0, 0);
            SetDrawFlags(flags);
            DrawCircle(c.x, c.y, c.r, WHITE);
            const int64_t r = c.r < 0 ? -int64_t{c.r} : c.r;
            for (int32_t y = 0; y < 768; ++y) {
                for (int32_t x = 0; x < 1024; ++x) {
                    const bool inside = InDisc(c.x, c.y, r, x, y);
                    const bool boundary =
                        inside && (!InDisc(c.x, c.y, r, x - 1, y) || !InDisc(c.x, c.y, r, x + 1, y) ||
                                   !InDisc(c.x, c.y, r, x, y - 1) || !InDisc(c.x, c.y, r, x, y + 1));
                    ASSERT_EQ(Pixel(x, y) == WHITE, flags == DRAW_OUTLINE ? boundary : inside)
                        << c.x << "," << c.y << " r " << c.r << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(DrawTest, InvertFlagInvertsEachCoveredPixelOnce) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    ClearBackBuffer(10, 20, 30);
    const uint32_t inverted = MakeColour(245, 235, 225);
    SetDrawFlags(DRAW_INVERT);
    DrawBox(10, 10, 5, 5, RED);
    DrawSegment(100, 100, 7, 0, RED);
    DrawCircle(300, 300, 6, RED);
    EXPECT_EQ(Pixel(12, 12), inverted);
    EXPECT_EQ(Pixel(106, 100), inverted);
    EXPECT_EQ(Pixel(300, 300), inverted);
    EXPECT_EQ(CountPixels(inverted), 25 + 7 + 112);  // a radius-6 disc has 112 pixels
    DrawBox(10, 10, 5, 5, RED);
    DrawSegment(100, 100, 7, 0, RED);
    DrawCircle(300, 300, 6, RED);
    EXPECT_EQ(CountPixels(MakeColour(10, 20, 30)), 1024 * 768);
}

TEST_F(DrawTest, ReadPixelReturnsTheColourAndAllBitsOutside) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawSegment(7, 9, 1, 0, MakeColour(1, 2, 3));
    EXPECT_EQ(ReadPixel(7, 9), MakeColour(1, 2, 3));
    EXPECT_EQ(ReadPixel(8, 9), 0u);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {1024, 0}, {0, 768}, {INT_MIN, INT_MAX}}) {
        EXPECT_EQ(ReadPixel(x, y), 0xFFFFFFFFu);
        EXPECT_NE(ReadPixel(x, y), WHITE);
    }
}

TEST_F(DrawTest, WithoutATargetNothingIsDrawn) {
    ClearBackBuffer(1, 1, 1);
    const uint32_t grey = MakeColour(1, 1, 1);
    SetPenColour(255, 255, 255);
    DrawBox(0, 0, 100, 100, WHITE);
    DrawSegment(0, 0, 100, 100, WHITE);
    DrawCircle(50, 50, 20, WHITE);
    SetTextCursor(0, 0);
    DrawLabel("Karnolt");
    EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(CountPixels(grey), 1024 * 768);

    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    EndDraw();
    DrawBox(0, 0, 100, 100, WHITE);
    EXPECT_EQ(CountPixels(grey), 1024 * 768);
    EXPECT_EQ(BeginDraw(DrawTarget{DRAW_TARGET_NONE, 0}), 0);
    DrawBox(0, 0, 100, 100, WHITE);
    EXPECT_EQ(CountPixels(grey), 1024 * 768);
}

TEST_F(DrawTest, TheBackBufferIsHeldByOneDrawingAtATime) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    EXPECT_EQ(BackBufferTarget().kind, DRAW_TARGET_NONE);
    // BeginDraw with none ends the open drawing; afterwards the buffer is free again.
    EXPECT_EQ(BeginDraw(BackBufferTarget()), 0);
    DrawBox(0, 0, 10, 10, WHITE);
    EXPECT_EQ(CountPixels(WHITE), 0);
    EXPECT_EQ(BackBufferTarget().kind, DRAW_TARGET_BACK_BUFFER);
}

TEST_F(DrawTest, BeginDrawResetsFlagsAndColour) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    SetDrawFlags(DRAW_OUTLINE | DRAW_INVERT);
    SetPenColour(255, 0, 0);
    EndDraw();
    ClearBackBuffer(9, 9, 9);
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawSegment(0, 0, 5, 0);  // current colour: black again
    EXPECT_EQ(CountPixels(0u), 5);
    DrawBox(20, 20, 4, 4, WHITE);  // filled, copied
    EXPECT_EQ(CountPixels(WHITE), 16);
    // The cursor starts at the origin: an opaque label lands in the top-left corner.
    DrawSegment(500, 500, 3, 3);
    EndDraw();
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    ClearBackBuffer(9, 9, 9);
    DrawLabel(" ");
    EXPECT_EQ(Pixel(0, 0), 0u);
    EXPECT_EQ(Pixel(503, 503), MakeColour(9, 9, 9));
}

TEST_F(DrawTest, ColourArgumentsStayTheCurrentColour) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    DrawBox(0, 0, 1, 1, MakeColour(3, 4, 5));
    DrawSegment(10, 10, 3, 0);
    EXPECT_EQ(Pixel(11, 10), MakeColour(3, 4, 5));
    SetPenColour(200, 100, 50);
    DrawSegment(10, 11, 3, 0);
    EXPECT_EQ(Pixel(12, 11), MakeColour(200, 100, 50));
}

TEST_F(DrawTest, SegmentsLeaveTheCursorOnTheirEndPoint) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    ClearBackBuffer(50, 50, 50);
    DrawSegmentBetween(100, 100, 110, 105, WHITE);
    DrawLabel(" ");  // opaque: a black cell at the cursor
    EXPECT_EQ(Pixel(110, 105), 0u);
    EXPECT_EQ(Pixel(116, 105), MakeColour(50, 50, 50));
    EXPECT_EQ(Pixel(110, 104), MakeColour(50, 50, 50));
}

TEST_F(DrawTest, ReleasingTheBackBufferLeavesASpriteDrawingOpen) {
    const std::string path = WriteTempFile("held.bmp", MakeBitmapFile(2, 2, 24, TestPicture(2, 2)));
    ASSERT_EQ(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_PLAIN), 1);
    ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);
    ReleaseBackBufferDrawing();
    EXPECT_NE(ReadPixel(0, 0), 0xFFFFFFFFu);  // still drawing on the sprite
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    ReleaseBackBufferDrawing();
    EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFFFFu);  // no target any more
    EXPECT_EQ(BackBufferTarget().kind, DRAW_TARGET_BACK_BUFFER);
}
