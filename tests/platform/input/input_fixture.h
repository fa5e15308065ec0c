// Starts the headless platform the way the game does, for tests of the shared
// input logic.
#pragma once

#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPlatform();
        ASSERT_NE(InitSpriteSystem(), 0);
        ASSERT_NE(OpenKeyboard(), 0);
        ASSERT_NE(OpenMouse(), 0);
        ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt"), 0);
        ASSERT_NE(SetFrameCap(60), 0);
    }
    void TearDown() override { ResetPlatform(); }
};
