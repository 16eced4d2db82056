#pragma once
// The Windows world one emulator lives in. On Linux an emulator may have a
// Wine prefix of its own (its prefix setting, or the WINEPREFIX= of its
// runner): everything done for that emulator - the configuration writers,
// the plugin side files, quick configure, its option pages, the paths below
// its install folder and the start of its program - then happens in that
// prefix, while the front end's own settings stay in the front end's prefix.
// Without such a prefix (and always on Windows) this is the front end's world.

#include <memory>
#include <string>

#include "common/platform/prefix.h"
#include "common/platform/registry.h"
#include "frontend/core/emulator_kind.h"

namespace dravolo {

class SettingsStore;

class EmulatorWorld {
public:
    // While the object lives, drive letters and programs started resolve in
    // the emulator's prefix. A prefix that does not exist yet is made first
    // (by Wine when the emulator's runner is Wine).
    EmulatorWorld(EmulatorKind kind, const SettingsStore& settings, Registry& frontEndRegistry);
    EmulatorWorld(const EmulatorWorld&) = delete;
    EmulatorWorld& operator=(const EmulatorWorld&) = delete;

    // The emulator's registry: its prefix's hives, or the front end's registry.
    Registry& registry() { return own_ ? *own_ : frontEnd_; }
    // Host folder of the emulator's own prefix; empty when it shares the front end's.
    const std::string& prefix() const { return prefix_; }

private:
    std::string prefix_;
    std::unique_ptr<ScopedPrefix> scope_;
    std::unique_ptr<Registry> own_;
    Registry& frontEnd_;
};

}  // namespace dravolo
