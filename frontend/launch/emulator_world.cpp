#include "frontend/launch/emulator_world.h"

#include "frontend/core/settings_store.h"

namespace dravolo {

EmulatorWorld::EmulatorWorld(EmulatorKind kind, const SettingsStore& settings, Registry& frontEndRegistry)
    : frontEnd_(frontEndRegistry) {
    if (!EmulatorsMayHaveOwnPrefix()) return;
    prefix_ = settings.EmulatorPrefix(kind);
    if (prefix_.empty()) return;
    PreparePrefix(prefix_, settings.Runner(kind));
    scope_ = std::make_unique<ScopedPrefix>(prefix_);
    own_ = OpenRegistryOfPrefix(prefix_);
}

}  // namespace dravolo
