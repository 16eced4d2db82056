#include "common/psemu/fpse_plugin.h"

#include <cstring>

#include "common/psemu/settings_file.h"

namespace dravolo {

namespace {

std::string FieldText(const std::array<std::uint8_t, kFpseInfoSize>& block, std::size_t offset, std::size_t size) {
    const auto* begin = reinterpret_cast<const char*>(block.data() + offset);
    const auto* zero = static_cast<const char*>(std::memchr(begin, 0, size));
    return std::string(begin, zero ? static_cast<std::size_t>(zero - begin) : size);
}

std::string Export(PluginType type, std::string_view suffix) {
    return std::string(FpsePrefix(type)) + std::string(suffix);
}

}  // namespace

FpseInfo ParseFpseInfo(const std::array<std::uint8_t, kFpseInfoSize>& block) {
    FpseInfo info;
    info.type = block[0];
    info.minorVersion = block[1];
    info.majorVersion = block[2];
    info.testResult = block[3];
    info.author = FieldText(block, kFpseAuthorOffset, kFpseAuthorSize);
    info.name = FieldText(block, kFpseNameOffset, kFpseNameSize);
    info.description = FieldText(block, kFpseDescriptionOffset, kFpseDescriptionSize);
    return info;
}

std::optional<FpseInfo> FpseAbout(PluginModule& module, PluginType type) {
    const auto block = module.CallInfoBlock(Export(type, "_About"));
    if (!block) return std::nullopt;
    return ParseFpseInfo(*block);
}

FpseSettingsBlock MakeFpseSettingsBlock(std::uintptr_t ownerWindow, std::uintptr_t moduleInstance) {
    FpseSettingsBlock block{};
    block[kFpseReadCallbackWord] = reinterpret_cast<std::uintptr_t>(&DravoloReadSetting);
    block[kFpseWriteCallbackWord] = reinterpret_cast<std::uintptr_t>(&DravoloWriteSetting);
    block[kFpseWindowWord] = ownerWindow;
    block[kFpseInstanceWord] = moduleInstance;
    return block;
}

bool FpseConfigure(PluginModule& module, PluginType type, std::uintptr_t ownerWindow, std::uintptr_t moduleInstance) {
    return module.CallSettingsBlock(Export(type, "_Configure"), ownerWindow, moduleInstance);
}

}  // namespace dravolo
