#include "model/world.h"

NodeGrid nodeGrid;
BeamList beamList;
int32_t gridWidth;
int32_t gridHeight;

void CreateWorld(int32_t width, int32_t height) {
    gridWidth = width;
    gridHeight = height;
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            nodeGrid.nodes[i][j] = Node{NODE_EMPTY, RestX(i), RestY(j), 0.0f, 0.0f};
        }
    }
    beamList.clear();
    // Room for a large truss up front, so placing beams does not reallocate mid-game.
    beamList.reserve(4096);
}

void AddBeam(int32_t ax, int32_t ay, int32_t bx, int32_t by) {
    beamList.push_back(Beam{ax, ay, bx, by, 1.0f, 1});
}

int32_t CountBeams() {
    return static_cast<int32_t>(beamList.size());
}

void ResetWorld() {
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            Node& node = NodeAt(i, j);
            node.x = RestX(i);
            node.y = RestY(j);
            node.vx = 0.0f;
            node.vy = 0.0f;
        }
    }
    for (Beam& beam : beamList) beam.intact = 1;
}
