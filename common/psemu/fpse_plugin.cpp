#include "common/psemu/fpse_plugin.h"

#include <cstring>

#include "common/psemu/settings_file.h"

namespace dravolo {

namespace {

using AboutFn = int(DRAVOLO_PLUGIN_CALL*)(void* info);
using ConfigureFn = int(DRAVOLO_PLUGIN_CALL*)(void* settings);

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

std::optional<FpseInfo> FpseAbout(const Library& library, PluginType type) {
    const auto about = library.Function<AboutFn>(Export(type, "_About").c_str());
    if (!about) return std::nullopt;
    std::array<std::uint8_t, kFpseInfoSize> block{};
    about(block.data());
    return ParseFpseInfo(block);
}

FpseSettingsBlock MakeFpseSettingsBlock(std::uintptr_t ownerWindow, std::uintptr_t moduleInstance) {
    FpseSettingsBlock block{};
    block[kFpseReadCallbackWord] = reinterpret_cast<std::uintptr_t>(&DravoloReadSetting);
    block[kFpseWriteCallbackWord] = reinterpret_cast<std::uintptr_t>(&DravoloWriteSetting);
    block[kFpseWindowWord] = ownerWindow;
    block[kFpseInstanceWord] = moduleInstance;
    return block;
}

bool FpseConfigure(const Library& library, PluginType type, std::uintptr_t ownerWindow,
                   std::uintptr_t moduleInstance) {
    const auto configure = library.Function<ConfigureFn>(Export(type, "_Configure").c_str());
    if (!configure) return false;
    FpseSettingsBlock block = MakeFpseSettingsBlock(ownerWindow, moduleInstance);
    configure(block.data());
    return true;
}

}  // namespace dravolo
