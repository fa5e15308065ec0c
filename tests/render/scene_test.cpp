// Pixels of the scene and the HUD as presented, probed where every pixel is fixed.
#include "render/scene.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/hud.h"
#include "tests/support/game_driver.h"

using namespace driver;

namespace {

Rgb ColourOf(uint32_t c) {
    return Rgb{static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

TEST(BeamForceColourTest, FollowsTheLegendFromRedOverGreenToBlue) {
    const std::pair<float, Rgb> cases[] = {
        {5.0f, {215, 95, 55}},     {2.0f, {155, 155, 55}}, {1.0f, {55, 255, 55}},
        {0.5f, {55, 155, 155}},    {0.2f, {55, 95, 215}},  {0.0f, {55, 55, 255}},
        {INFINITY, {255, 55, 55}}, {1e30f, {255, 55, 55}}, {NAN, {55, 55, 255}},
    };
    for (const auto& [load, rgb] : cases) EXPECT_EQ(ColourOf(BeamForceColour(load)), rgb) << load;
}

class SceneTest : public ::testing::Test {
protected:
    // A 60 x 40 level: sky black, a block of (200, 100, 50) earth, anchors at (25, 30) and (29, 30).
    void SetUp() override {
        const std::filesystem::path path = TempFolder() / "scene.bmp";
        WriteBmp(path, 60, 40, 24, [](int32_t x, int32_t y) {
            if ((x == 25 || x == 29) && y == 30) return WHITE;
            if (x >= 40 && x < 50 && y >= 30) return Rgb{200, 100, 50};
            return BLACK;
        });
        ASSERT_TRUE(StartGame(path));
        // Park the pointer where neither arrow nor cursor circle touch a probe.
        MovePointerTo(700, 700);
    }
};

TEST_F(SceneTest, GridLinesInThreeGreys) {
    Frames(1);
    // Column lines at screen x = 20 i - 400; probe between row lines.
    const int32_t y = NodeScreenY(27) + 7;
    EXPECT_EQ(PixelAt(NodeScreenX(21), y), (Rgb{80, 80, 80}));
    EXPECT_EQ(PixelAt(NodeScreenX(28), y), (Rgb{120, 120, 120}));
    EXPECT_EQ(PixelAt(NodeScreenX(32), y), (Rgb{160, 160, 160}));
    EXPECT_EQ(PixelAt(NodeScreenX(36), y), (Rgb{120, 120, 120}));
    EXPECT_EQ(PixelAt(NodeScreenX(21) + 1, y), BLACK);
    // Row lines; row 40 is the last and is drawn, column lines stop one pixel above it.
    const int32_t x = NodeScreenX(22) + 9;
    EXPECT_EQ(PixelAt(x, NodeScreenY(26)), (Rgb{80, 80, 80}));
    EXPECT_EQ(PixelAt(x, NodeScreenY(24)), (Rgb{160, 160, 160}));
    // The level's last lines (column 60, row 40) lie at screen (800, 400): each line
    // leaves out its end point, so the corner where they would meet stays dark.
    EXPECT_EQ(PixelAt(800, 399), (Rgb{120, 120, 120}));
    EXPECT_EQ(PixelAt(799, 400), (Rgb{160, 160, 160}));
    EXPECT_EQ(PixelAt(800, 400), BLACK);
    EXPECT_EQ(PixelAt(805, 390), BLACK) << "nothing beyond the last column";
    // Scroll until line 0 of both directions is on screen.
    MovePointerTo(1, 1);
    HeadlessQueueMotionX(-1);
    HeadlessQueueMotionY(-1);
    Frames(42);
    ASSERT_EQ(editor.viewOffsetX, 20);
    EXPECT_EQ(PixelAt(20, 100), (Rgb{160, 160, 160}));
    EXPECT_EQ(PixelAt(100, 20), (Rgb{160, 160, 160}));
    EXPECT_EQ(PixelAt(19, 100), BLACK);
}

TEST_F(SceneTest, AnchorsJointsAndBeamsInForceColours) {
    const int32_t ax = NodeScreenX(25), ay = NodeScreenY(30);
    const int32_t jx = NodeScreenX(27), jy = NodeScreenY(31);
    // A quarter along the first beam, clear of grid lines, before the beam exists.
    const int32_t qx = ax + (jx - ax) / 4, qy = ay + (jy - ay) / 4;
    const Rgb bare = PixelAt(qx, qy);
    ClickNode(1, 25, 30);
    ClickNode(1, 27, 31);
    ClickNode(1, 29, 30);
    ClickNode(2, 29, 30);
    MovePointerTo(700, 700);
    // Anchors are white discs of radius 5, joints green discs of radius 4.
    EXPECT_EQ(PixelAt(ax - 5, ay), WHITE);
    EXPECT_NE(PixelAt(ax - 6, ay), WHITE);
    EXPECT_EQ(PixelAt(ax + 4, ay), WHITE);
    EXPECT_NE(PixelAt(ax + 5, ay), WHITE);
    EXPECT_EQ(PixelAt(jx, jy + 3), (Rgb{0, 255, 0}));
    EXPECT_NE(PixelAt(jx, jy + 4), (Rgb{0, 255, 0}));
    // Beams over the nodes, in the colour of their load; the later beam over the earlier.
    beamList[0].loadFactor = 5.0f;
    beamList[1].loadFactor = 0.2f;
    Frames(1);  // drawn before this frame's step rewrites the loads
    EXPECT_EQ(PixelAt(qx, qy), (Rgb{215, 95, 55}));
    EXPECT_EQ(PixelAt((jx + NodeScreenX(29)) / 2, (jy + ay) / 2), (Rgb{55, 95, 215}));
    EXPECT_EQ(PixelAt(jx, jy), (Rgb{55, 95, 215}));
    Frames(1);
    EXPECT_EQ(PixelAt(jx, jy), (Rgb{55, 255, 55}));
    // A broken beam leaves no pixel, while its nodes are still drawn.
    beamList[0].intact = 0;
    Frames(1);
    EXPECT_EQ(PixelAt(qx, qy), bare);
    EXPECT_EQ(PixelAt(jx, jy + 3), (Rgb{0, 255, 0}));
}

TEST_F(SceneTest, BackgroundIsTheLevelHalfTransparentWithBlackLeftOut) {
    Frames(1);
    // Inside the earth block, away from grid lines and block edges.
    const Rgb earth = PixelAt(NodeScreenX(44) + 10, NodeScreenY(33) + 10);
    EXPECT_NEAR(earth.r, 100, 1);
    EXPECT_NEAR(earth.g, 50, 1);
    EXPECT_NEAR(earth.b, 25, 1);
    // Anchor pixels show grey in the background (white painted over with 127).
    const Rgb mark = PixelAt(NodeScreenX(29) + 10, NodeScreenY(30) + 10);
    EXPECT_NEAR(mark.r, 63, 3);  // near the texel's edge a little of the black neighbour's coverage is lost
    EXPECT_EQ(mark.r, mark.g);
    // Sky stays black: the grid shows through and nothing else.
    EXPECT_EQ(PixelAt(NodeScreenX(35) + 10, NodeScreenY(25) + 10), BLACK);
}

TEST_F(SceneTest, LegendBarHasElevenBands) {
    Frames(1);
    const Rgb bands[] = {{255, 55, 55},  {215, 95, 55}, {175, 135, 55}, {135, 175, 55},
                         {95, 215, 55},  {55, 255, 55}, {55, 215, 95},  {55, 175, 135},
                         {55, 135, 175}, {55, 95, 215}, {55, 55, 255}};
    for (int32_t k = 0; k < 11; ++k) {
        for (const int32_t y : {30 + 5 * k, 34 + 5 * k}) {
            EXPECT_EQ(PixelAt(850, y), bands[k]) << y;
            EXPECT_EQ(PixelAt(889, y), bands[k]) << y;
        }
    }
    EXPECT_NE(PixelAt(890, 40), bands[2]);
    EXPECT_NE(PixelAt(849, 40), bands[2]);
}

// White pixels of a box of the presented frame, as a string of '#' and '.'.
std::string WhiteMask(int32_t x, int32_t y, int32_t width, int32_t height) {
    std::string mask;
    for (int32_t row = y; row < y + height; ++row) {
        for (int32_t column = x; column < x + width; ++column)
            mask += PixelAt(column, row) == WHITE ? '#' : '.';
        mask += '\n';
    }
    return mask;
}

// The same text drawn alone in white on a black screen, as the HUD draws it.
std::string ExpectedTextMask(int32_t x, int32_t y, const std::string& utf8, int32_t width, int32_t height) {
    ClearBackBuffer(0, 0, 0);
    BeginDraw(BackBufferTarget());
    SetPenColour(255, 255, 255);
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    SetTextCursor(x, y);
    DrawLabel(Latin1FromUtf8(utf8));
    std::string mask;
    for (int32_t row = y; row < y + height; ++row) {
        for (int32_t column = x; column < x + width; ++column) {
            mask += ReadPixel(column, row) == MakeColour(255, 255, 255) ? '#' : '.';
        }
        mask += '\n';
    }
    EndDraw();
    return mask;
}

TEST_F(SceneTest, HudTextsShowTheState) {
    Frames(1);
    const auto expectText = [](int32_t x, int32_t y, const std::string& text) {
        const int32_t width = 7 * static_cast<int32_t>(text.size());
        const std::string shown = WhiteMask(x, y, width, 18);
        EXPECT_EQ(shown, ExpectedTextMask(x, y, text, width, 18)) << text;
        EXPECT_NE(shown.find('#'), std::string::npos) << text;
    };
    expectText(0, 20, "Verschiebung: -400, -400");
    expectText(0, 40, "Träger: 0");
    expectText(0, 720, "Gravitationssimulation : [-AUS-]");
    expectText(830, 170, "Verbindung zwischen Trägern");

    // The simulation line switches in the very frame of the Enter release.
    HeadlessSetKey(SCAN_RETURN, true);
    Frames(1);
    HeadlessSetKey(SCAN_RETURN, false);
    Frames(1);
    expectText(0, 720, "Gravitationssimulation : [-AN-]");

    ClickNode(1, 25, 30);
    ClickNode(1, 27, 30);
    beamList[0].intact = 0;  // a broken beam still counts
    MovePointerTo(700, 700);
    expectText(0, 40, "Träger: 1");
    Frames(200);
    expectText(0, 0, "FPS: " + std::to_string(fpsMeter.lastFrameRate));
    EXPECT_TRUE(fpsMeter.lastFrameRate == 60 || fpsMeter.lastFrameRate == 61) << fpsMeter.lastFrameRate;
}

TEST_F(SceneTest, PointerArrowFansOutFromThePointer) {
    MovePointerTo(300, 250);
    EXPECT_EQ(PixelAt(300, 250), WHITE);
    EXPECT_EQ(PixelAt(308, 254), WHITE);  // along (10, 5)
    EXPECT_EQ(PixelAt(304, 258), WHITE);  // along (5, 10)
    EXPECT_EQ(PixelAt(299, 249), BLACK);
    EXPECT_EQ(PixelAt(310, 255), BLACK);  // segments leave out their end points
}

}  // namespace
