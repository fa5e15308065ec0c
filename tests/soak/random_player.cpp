#include <algorithm>
#include <cstdlib>

#include "editor/beams.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "tests/soak/soak.h"

namespace {

int32_t Uniform(RandomPlayer& player, int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(player.rng);
}

bool Chance(RandomPlayer& player, int32_t oneIn) {
    return Uniform(player, 1, oneIn) == 1;
}

// Somewhere worth pointing at: mostly near what is built or anchored, so chains
// grow and get cut; sometimes anywhere on screen or hard against an edge.
void ChooseTarget(RandomPlayer& player) {
    player.targetFramesLeft = Uniform(player, 20, 200);
    player.clickOnArrival = Chance(player, 4) ? 0 : (Uniform(player, 1, 10) <= 8 ? 1 : 2);
    const int32_t pick = Uniform(player, 1, 10);
    if (editor.placingBeam != 0 && pick <= 8) {
        // The next link of the chain being placed, mostly of a length the editor takes.
        player.targetIsNode = true;
        player.targetX = editor.startColumn + Uniform(player, -7, 7);
        player.targetY = editor.startRow + Uniform(player, -7, 7);
        return;
    }
    if (pick <= 6) {
        std::vector<NodeIndex> used;
        for (int32_t i = 0; i <= gridWidth; ++i) {
            for (int32_t j = 0; j <= gridHeight; ++j) {
                if (NodeAt(i, j).kind != NODE_EMPTY) used.push_back({i, j});
            }
        }
        if (!used.empty()) {
            const NodeIndex node =
                used[static_cast<std::size_t>(Uniform(player, 0, int32_t(used.size()) - 1))];
            const int32_t reach = Chance(player, 3) ? 0 : 9;
            player.targetIsNode = true;
            player.targetX = node.first + Uniform(player, -reach, reach);
            player.targetY = node.second + Uniform(player, -reach, reach);
            return;
        }
    }
    player.targetIsNode = false;
    if (pick == 10) {
        // Against an edge: the view scrolls.
        player.targetX = Chance(player, 2) ? Uniform(player, -50, 1100) : (Chance(player, 2) ? -50 : 1100);
        player.targetY = Chance(player, 2) ? Uniform(player, -50, 820) : (Chance(player, 2) ? -50 : 820);
    } else {
        player.targetX = Uniform(player, 0, 1023);
        player.targetY = Uniform(player, 0, 767);
    }
}

// Splits one axis' motion into a few events, as a real mouse reports it.
void QueueAxis(RandomPlayer& player, int32_t motion, void (*queue)(int32_t)) {
    const int32_t parts = std::min<int32_t>(Uniform(player, 1, 3), std::abs(motion));
    int32_t left = motion;
    for (int32_t k = parts; k > 1; --k) {
        const int32_t part = left / k;
        queue(part);
        left -= part;
    }
    if (left != 0) queue(left);
}

void QueueMotion(RandomPlayer& player) {
    if (Chance(player, 500)) {
        // More events than the device buffers between two reads.
        ++player.overflows;
        for (int32_t k = 0; k < MOUSE_EVENT_BUFFER + 6; ++k) HeadlessQueueMotionX(k % 2 == 0 ? 1 : -1);
        return;
    }
    if (Chance(player, 300)) HeadlessQueueWheel(Chance(player, 2) ? 120 : -120);
    if (--player.targetFramesLeft <= 0) ChooseTarget(player);
    int32_t x = player.targetX;
    int32_t y = player.targetY;
    if (player.targetIsNode) {
        x = x * 20 + editor.viewOffsetX;
        y = y * 20 + editor.viewOffsetY;
    }
    if (x == editor.pointerX && y == editor.pointerY) {
        if (player.clickOnArrival != 0 && player.heldButton == 0) {
            // A deliberate click: long enough to count.
            player.heldButton = player.clickOnArrival;
            player.holdFramesLeft = Uniform(player, 2, 4);
            player.clickOnArrival = 0;
            ++player.presses;
            HeadlessQueueButton(player.heldButton, true);
        } else if (player.heldButton == 0 && Chance(player, 4)) {
            ChooseTarget(player);
        }
        return;
    }
    const int32_t step = Chance(player, 4) ? 1000 : Uniform(player, 2, 60);
    QueueAxis(player, std::clamp(x - editor.pointerX, -step, step), HeadlessQueueMotionX);
    QueueAxis(player, std::clamp(y - editor.pointerY, -step, step), HeadlessQueueMotionY);
}

void QueueButtons(RandomPlayer& player) {
    if (player.heldButton != 0) {
        if (--player.holdFramesLeft <= 0) {
            HeadlessQueueButton(player.heldButton, false);
            player.heldButton = 0;
        }
        return;
    }
    if (!Chance(player, 40)) return;
    static constexpr int32_t HOLDS[] = {1, 2, 2, 2, 3, 3, 4, 6, 11, 12, 30, 90};
    player.heldButton = Chance(player, 40) ? 3 : (Uniform(player, 1, 10) <= 7 ? 1 : 2);
    player.holdFramesLeft = HOLDS[Uniform(player, 0, int32_t(std::size(HOLDS)) - 1)];
    ++player.presses;
    HeadlessQueueButton(player.heldButton, true);
}

// A key held for a few frames, now and then.
void QueueKey(RandomPlayer& player, int32_t scanCode, int32_t& framesLeft, int32_t oneIn, int32_t longest,
              int64_t& count) {
    if (framesLeft > 0) {
        if (--framesLeft == 0) HeadlessSetKey(scanCode, false);
        return;
    }
    if (!Chance(player, oneIn)) return;
    framesLeft = Uniform(player, 1, longest);
    ++count;
    HeadlessSetKey(scanCode, true);
}

}  // namespace

void QueueRandomInput(RandomPlayer& player) {
    if (player.inactiveFramesLeft > 0) {
        if (--player.inactiveFramesLeft == 0) HeadlessSetActive(true);
    } else if (Chance(player, 1500)) {
        player.inactiveFramesLeft = Uniform(player, 1, 90);
        ++player.deactivations;
        HeadlessSetActive(false);
    }
    QueueKey(player, SCAN_RETURN, player.enterFramesLeft, 400, 4, player.enterTaps);
    QueueKey(player, SCAN_DELETE, player.deleteFramesLeft, 300, 6, player.deleteHolds);
    QueueButtons(player);
    QueueMotion(player);
}
