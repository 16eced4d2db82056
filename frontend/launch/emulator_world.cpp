#include "frontend/launch/emulator_world.h"

#include "frontend/core/settings_store.h"

namespace dravolo {

EmulatorWorld::EmulatorWorld(EmulatorKind kind, const SettingsStore& settings, Registry& frontEndRegistry)
    : frontEnd_(frontEndRegistry) {
#ifndef _WIN32
    prefix_ = settings.EmulatorPrefix(kind);
    if (prefix_.empty()) return;
    PreparePrefix(prefix_, settings.Runner(kind));
    scope_ = std::make_unique<ScopedPrefix>(prefix_);
    own_ = OpenRegistryOfPrefix(prefix_);
#else
    static_cast<void>(kind);
    static_cast<void>(settings);
#endif
}

}  // namespace dravolo
