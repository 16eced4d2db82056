// Windows needs no prefix: drive letters are real.

#include "common/platform/prefix.h"

namespace dravolo {

std::string PrefixDirectory() { return {}; }

bool EnsurePrefixLayout(const std::string&) { return false; }

ScopedPrefix::ScopedPrefix(std::string) {}
ScopedPrefix::~ScopedPrefix() = default;

bool PreparePrefix(const std::string&, const std::string&) { return true; }

bool EmulatorsMayHaveOwnPrefix() { return false; }

bool RunnerIsWine(const std::string&) { return false; }

}  // namespace dravolo
