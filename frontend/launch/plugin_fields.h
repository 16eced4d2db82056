#pragma once
// The three plugin fields of each record kind (GPU, SPU, CD-ROM).

#include <string>

#include "common/psemu/plugin_types.h"
#include "frontend/profiles/records.h"

namespace dravolo {

const std::string& PluginField(const AnyProfileRecord& record, PluginType type);

// True when the record names a plugin for all three slots.
bool HasAllPlugins(const AnyProfileRecord& record);

}  // namespace dravolo
