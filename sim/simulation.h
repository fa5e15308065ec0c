// The truss physics: one mass-spring step per frame.
#pragma once

#include <cstdint>

inline constexpr float GRAVITY_STEP = 0.5f;
inline constexpr float VELOCITY_DAMPING = 0.98f;
inline constexpr float POSITION_STEP = 0.5f;
inline constexpr int32_t LOAD_EXPONENT = 20;
inline constexpr float BREAK_LOAD_LOW = 0.2f;
inline constexpr float BREAK_LOAD_HIGH = 5.0f;

// IntegrateNodes while the simulation runs, then ApplyBeamForces in every frame.
void SimulationStep();
void IntegrateNodes();
void ApplyBeamForces();

// Length of the vector (dx, dy), rounded to float32. Rest and current length both
// go through here, so a beam at rest measures exactly its rest length.
float BeamLength(float dx, float dy);
