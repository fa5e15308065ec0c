// The headless back end in the contract test: scripted activation, keys and motion.
#include "platform/headless.h"
#include "platform/input.h"
#include "tests/platform/contract/backend_contract.h"

const ContractBackEnd CONTRACT_BACK_END = {
    .reset = ResetPlatform,
    .setActive = HeadlessSetActive,
    .pressDelete = [](bool down) { HeadlessSetKey(SCAN_DELETE, down); },
    .moveMouse =
        [](int32_t dx, int32_t dy) {
            HeadlessQueueMotionX(dx);
            HeadlessQueueMotionY(dy);
        },
    .windowOpen = HeadlessWindowOpen,
};
