#include "tool/core/window_settings.h"

#include "tool/core/tool_registry.h"

namespace dravolo::tool {

namespace {
constexpr const char* kWidthNames[] = {"ToolX1", "ToolX2", "ToolX3", "ToolX4", "ToolX5", "ToolX6"};
}

std::string PositionKey(std::string_view programName) {
    return "Software\\Kestrine\\Kestrine\\" + std::string(programName) + "\\Position";
}

ToolWindowSettings LoadWindowSettings(Registry& registry, std::string_view programName) {
    ToolRegistry values(registry);
    const std::string key = PositionKey(programName);
    ToolWindowSettings settings;
    settings.selCol = values.ReadNumber(key, "SelCol").value_or(settings.selCol);
    settings.selDir = values.ReadNumber(key, "SelDir").value_or(settings.selDir);
    for (std::size_t i = 0; i < settings.widths.size(); ++i)
        settings.widths[i] = values.ReadNumber(key, kWidthNames[i]).value_or(settings.widths[i]);
    return settings;
}

bool SaveWindowSettings(Registry& registry, std::string_view programName, const ToolWindowSettings& settings) {
    const std::string key = PositionKey(programName);
    RegBatch batch;
    batch.SetDword(RegRoot::CurrentUser, key, "SelCol", settings.selCol);
    batch.SetDword(RegRoot::CurrentUser, key, "SelDir", settings.selDir);
    for (std::size_t i = 0; i < settings.widths.size(); ++i)
        batch.SetDword(RegRoot::CurrentUser, key, kWidthNames[i], settings.widths[i]);
    return registry.Commit(batch);
}

}  // namespace dravolo::tool
