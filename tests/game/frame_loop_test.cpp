// Whole scenarios through start-up and the frame loop on the headless back end.
#include "game/game.h"

#include <gtest/gtest.h>

#include "editor/beams.h"
#include "render/hud.h"
#include "render/scene.h"
#include "tests/support/game_driver.h"

using namespace driver;

namespace {

Rgb ColourOf(uint32_t c) {
    return Rgb{static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

// A small truss bridge between the anchors (26, 30) and (34, 30), built by clicks.
class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartGame(WriteAnchorLevel({{26, 30}, {34, 30}})));
        ClickNode(1, 26, 30);
        ClickNode(1, 28, 30);
        ClickNode(1, 30, 30);
        ClickNode(1, 32, 30);
        ClickNode(1, 34, 30);
        ClickNode(2, 34, 30);
        ClickNode(1, 28, 30);
        ClickNode(1, 30, 32);
        ClickNode(1, 32, 30);
        ClickNode(2, 32, 30);
        ASSERT_EQ(CountBeams(), 6);
    }
    static Rgb BeamPixel(const Beam& beam) {
        // The middle of the beam's drawn stroke, at the nodes' current positions.
        const Node& a = NodeAt(beam.ax, beam.ay);
        const Node& b = NodeAt(beam.bx, beam.by);
        return PixelAt(static_cast<int32_t>((a.x + b.x) / 2) + editor.viewOffsetX,
                       static_cast<int32_t>((a.y + b.y) / 2) + editor.viewOffsetY);
    }
};

TEST_F(BridgeTest, SagsUnderLoadAndStoppingRestoresEverything) {
    const Rgb green{55, 255, 55};
    EXPECT_EQ(BeamPixel(beamList[0]), green);
    TapKey(SCAN_RETURN);
    ASSERT_EQ(game.simulationRunning, 1);
    Frames(60);
    // The middle joint hangs lower than it rests, and every beam carries load.
    EXPECT_GT(NodeAt(30, 30).y, RestY(30));
    EXPECT_EQ(NodeAt(26, 30).y, RestY(30));  // anchors never move
    for (const Beam& beam : beamList) EXPECT_NE(beam.loadFactor, 1.0f);

    HeadlessSetKey(SCAN_RETURN, true);
    Frames(1);
    // Break a beam by hand: it is no longer drawn while running, but still counted.
    beamList[2].intact = 0;
    std::vector<float> loads;
    for (const Beam& beam : beamList) loads.push_back(beam.loadFactor);
    HeadlessSetKey(SCAN_RETURN, false);
    Frames(1);  // the stop frame
    EXPECT_EQ(game.simulationRunning, 0);
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            ASSERT_EQ(NodeAt(i, j).x, RestX(i));
            ASSERT_EQ(NodeAt(i, j).y, RestY(j));
            ASSERT_EQ(NodeAt(i, j).vy, 0.0f);
        }
    }
    // The stop frame shows every beam again, the broken one included, in its last load colour...
    for (std::size_t k = 0; k < beamList.size(); ++k) {
        EXPECT_EQ(BeamPixel(beamList[k]), ColourOf(BeamForceColour(loads[k]))) << k;
    }
    Frames(1);  // ...and from the next frame on everything is unloaded green and intact.
    for (const Beam& beam : beamList) {
        EXPECT_EQ(beam.intact, 1);
        EXPECT_EQ(beam.loadFactor, 1.0f);
        EXPECT_EQ(BeamPixel(beam), green);
    }
    EXPECT_EQ(NodeAt(30, 32).kind, NODE_JOINT);  // joints stay joints
}

TEST_F(BridgeTest, AnUnsupportedJointFallsAndItsBeamsBreak) {
    ClickNode(2, 34, 30);  // the right-hand anchor loses its beams
    const int32_t before = CountBeams();
    TapKey(SCAN_RETURN);
    Frames(300);
    int32_t broken = 0;
    for (const Beam& beam : beamList) broken += beam.intact == 0;
    EXPECT_GT(broken, 0);
    EXPECT_EQ(CountBeams(), before);  // broken beams still count
    EXPECT_GT(NodeAt(32, 30).y, RestY(30) + 100.0f);
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartGame(WriteAnchorLevel({{30, 30}}))); }
};

TEST_F(GameTest, EscapeWinsOverEnterInTheSameFrame) {
    Frames(3);
    HeadlessSetKey(SCAN_RETURN, true);
    Frames(1);
    const int64_t presented = HeadlessPresentedFrameCount();
    HeadlessSetKey(SCAN_RETURN, false);
    HeadlessSetKey(SCAN_ESCAPE, true);
    EXPECT_FALSE(RunFrame());
    EXPECT_EQ(game.simulationRunning, 0);
    EXPECT_EQ(HeadlessPresentedFrameCount(), presented);  // nothing more is presented
}

TEST_F(GameTest, EnterHeldTogglesOnceAtItsRelease) {
    HeadlessSetKey(SCAN_RETURN, true);
    Frames(100);
    EXPECT_EQ(game.simulationRunning, 0);
    HeadlessSetKey(SCAN_RETURN, false);
    Frames(1);
    EXPECT_EQ(game.simulationRunning, 1);
    Frames(50);
    EXPECT_EQ(game.simulationRunning, 1);
}

TEST_F(GameTest, FrameRateSettlesAtTheCap) {
    Frames(300);
    EXPECT_TRUE(fpsMeter.lastFrameRate == 60 || fpsMeter.lastFrameRate == 61) << fpsMeter.lastFrameRate;
}

TEST_F(GameTest, PressingAnEdgeScrollsTenPixelsAFrame) {
    MovePointerTo(1, 1);
    HeadlessQueueMotionX(-1000000);
    HeadlessQueueMotionY(-5);
    Frames(1);  // pushed into the corner: both axes scroll
    EXPECT_EQ(editor.viewOffsetX, -390);
    EXPECT_EQ(editor.viewOffsetY, -390);
    Frames(59);  // resting on the edge keeps scrolling
    EXPECT_EQ(editor.viewOffsetX, 200);
    HeadlessQueueMotionX(1);
    HeadlessQueueMotionY(1);
    Frames(3);
    EXPECT_EQ(editor.viewOffsetX, 200);
    EXPECT_EQ(editor.pointerX, 1);
    // At the far end of int range the view stops instead of overflowing.
    editor.viewOffsetX = INT32_MAX - 25;
    HeadlessQueueMotionX(-1);
    Frames(5);
    EXPECT_GT(editor.viewOffsetX, INT32_MAX - 25);
    const int32_t stopped = editor.viewOffsetX;
    Frames(1);
    EXPECT_EQ(editor.viewOffsetX, stopped);
}

}  // namespace
