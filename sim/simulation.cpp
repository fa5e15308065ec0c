#include "sim/simulation.h"

#include <cmath>

#include "model/game_state.h"
#include "model/world.h"

float BeamLength(float dx, float dy) {
    const double x = dx;
    const double y = dy;
    return static_cast<float>(std::sqrt(x * x + y * y));
}

void IntegrateNodes() {
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            Node& n = NodeAt(i, j);
            const bool joint = n.kind == NODE_JOINT;
            if (joint) n.vy = n.vy + GRAVITY_STEP;
            n.vx = n.vx * VELOCITY_DAMPING;
            n.vy = n.vy * VELOCITY_DAMPING;
            if (joint) {
                n.x = n.x + n.vx * POSITION_STEP;
                n.y = n.y + n.vy * POSITION_STEP;
            }
        }
    }
}

// r^20 by repeated squaring in double: five products instead of a pow call.
static float LoadFactorOf(float ratio) {
    const double r = ratio;
    const double r2 = r * r;
    const double r4 = r2 * r2;
    const double r5 = r4 * r;
    const double r10 = r5 * r5;
    return static_cast<float>(r10 * r10);
}
static_assert(LOAD_EXPONENT == 20, "LoadFactorOf multiplies out the 20th power");

void ApplyBeamForces() {
    for (Beam& beam : beamList) {
        if (beam.intact == 0) continue;
        const float restLength = BeamLength(RestX(beam.ax) - RestX(beam.bx), RestY(beam.ay) - RestY(beam.by));
        Node& a = NodeAt(beam.ax, beam.ay);
        Node& b = NodeAt(beam.bx, beam.by);
        const float dx = a.x - b.x;
        const float dy = a.y - b.y;
        const float length = BeamLength(dx, dy);
        const float ratio = restLength / length;
        if (!std::isfinite(ratio)) {
            // Both ends on one point (or so close that the ratio leaves float range):
            // the push has no direction. The beam breaks and leaves the velocities alone.
            beam.loadFactor = INFINITY;
            beam.intact = 0;
            continue;
        }
        // The whole length error goes to each joint end, in opposite directions.
        const float impulseX = ratio * dx - dx;
        const float impulseY = ratio * dy - dy;
        if (a.kind == NODE_JOINT) {
            a.vx = a.vx + impulseX;
            a.vy = a.vy + impulseY;
        }
        if (b.kind == NODE_JOINT) {
            b.vx = b.vx - impulseX;
            b.vy = b.vy - impulseY;
        }
        beam.loadFactor = LoadFactorOf(ratio);
        if (beam.loadFactor < BREAK_LOAD_LOW || beam.loadFactor > BREAK_LOAD_HIGH ||
            std::isnan(beam.loadFactor)) {
            beam.intact = 0;
        }
    }
}

void SimulationStep() {
    if (game.simulationRunning != 0) IntegrateNodes();
    ApplyBeamForces();
}
