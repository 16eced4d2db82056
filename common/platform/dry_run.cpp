#include "common/platform/dry_run.h"

#include <atomic>

namespace dravolo {

namespace {
std::atomic<DryRunRecorder*> active{nullptr};
}

DryRunRecorder* ActiveDryRun() { return active.load(); }

DryRunScope::DryRunScope(DryRunRecorder& recorder) : previous_(active.exchange(&recorder)) {}

DryRunScope::~DryRunScope() { active.store(previous_); }

}  // namespace dravolo
