#include "frontend/shell/bar_state_store.h"

#include "common/platform/registry.h"

namespace dravolo {

namespace {
constexpr std::string_view kLayoutValue = "Layout";
constexpr std::string_view kStatusBarValue = "StatusBar";
}  // namespace

BarState ReadBarState(Registry& registry) {
    BarState state;
    if (auto layout = registry.QueryValue(RegRoot::CurrentUser, kBarStateKeyPath, kLayoutValue);
        layout && layout->type == kRegBinary)
        state.layout = layout->data;
    if (auto shown = registry.QueryDword(RegRoot::CurrentUser, kBarStateKeyPath, kStatusBarValue))
        state.statusBarShown = *shown != 0;
    return state;
}

bool WriteBarState(Registry& registry, const BarState& state) {
    RegBatch batch;
    batch.SetValue(RegRoot::CurrentUser, kBarStateKeyPath, kLayoutValue, kRegBinary, state.layout);
    batch.SetDword(RegRoot::CurrentUser, kBarStateKeyPath, kStatusBarValue,
                   state.statusBarShown.value_or(true) ? 1 : 0);
    return registry.Commit(batch);
}

}  // namespace dravolo
