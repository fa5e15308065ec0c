// The force colours; everything else the scene draws is pinned by the reference frames.
#include "render/scene.h"

#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
