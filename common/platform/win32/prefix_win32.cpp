// Windows needs no prefix: drive letters are real.

#include "common/platform/prefix.h"

namespace dravolo {

std::string PrefixDirectory() { return {}; }

bool EnsurePrefixLayout(const std::string&) { return false; }

}  // namespace dravolo
