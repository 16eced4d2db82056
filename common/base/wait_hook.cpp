#include "common/base/wait_hook.h"

namespace dravolo {

namespace {
WaitHook installed = nullptr;
bool running = false;
}  // namespace

void SetWaitHook(WaitHook hook) { installed = hook; }

bool HasWaitHook() { return installed != nullptr; }

void RunWaitHook() {
    if (!installed || running) return;
    running = true;
    installed();
    running = false;
}

}  // namespace dravolo
