#include "tool/core/tree_copy.h"

#include "common/base/text.h"
#include "tool/core/config_name.h"

namespace dravolo::tool {

namespace {

// The registry nests keys at most 512 deep; a deeper walk means a loop in a
// broken store, not data to copy.
constexpr int kMaxDepth = 512;

// Copies one whole tree into the destination after deleting it, as one commit.
bool ReplaceTree(Registry& registry, const RegTreeCopier& copier, std::string_view sourceKey,
                 std::string_view destinationKey) {
    RegBatch batch;
    batch.DeleteTree(RegRoot::CurrentUser, destinationKey);
    copier.Copy(registry, sourceKey, batch);
    return registry.Commit(batch);
}

}  // namespace

std::optional<std::string> RegTreeCopier::DestinationPath(std::string_view keyPath) const {
    const std::string upperPath = UpperAnsi(keyPath);
    const std::string upperSource = UpperAnsi(source_);
    const auto at = upperPath.find(upperSource);
    if (upperSource.empty() || at == std::string::npos) return std::nullopt;
    const std::string_view rest = keyPath.substr(at + source_.size());
    if (mode_ == PrefixMode::Keep) return std::string(keyPath.substr(0, at)) + destination_ + std::string(rest);
    return destination_ + std::string(rest);
}

bool RegTreeCopier::Copy(Registry& registry, std::string_view sourceKey, RegBatch& batch) const {
    if (!registry.KeyExists(RegRoot::CurrentUser, sourceKey)) return true;
    return CopyKey(registry, std::string(sourceKey), batch, 0);
}

bool RegTreeCopier::CopyKey(Registry& registry, const std::string& keyPath, RegBatch& batch, int depth) const {
    if (depth > kMaxDepth) return false;
    const auto destination = DestinationPath(keyPath);
    if (!destination) return false;
    // Keys without values are copied too, so the tree keeps its exact shape.
    batch.CreateKey(RegRoot::CurrentUser, *destination);
    if (const auto values = registry.EnumValues(RegRoot::CurrentUser, keyPath)) {
        for (const RegValue& value : *values)
            batch.SetValue(RegRoot::CurrentUser, *destination, value.name, value.type, value.data);
    }
    if (const auto subkeys = registry.EnumSubkeys(RegRoot::CurrentUser, keyPath)) {
        for (const std::string& subkey : *subkeys) {
            if (!CopyKey(registry, keyPath + "\\" + subkey, batch, depth + 1)) return false;
        }
    }
    return true;
}

bool AddTreeReplacement(Registry& registry, std::string_view sourceKey, std::string_view destinationKey,
                        RegBatch& batch) {
    batch.DeleteTree(RegRoot::CurrentUser, destinationKey);
    const RegTreeCopier copier(std::string(sourceKey), std::string(destinationKey), PrefixMode::Replace);
    return copier.Copy(registry, sourceKey, batch);
}

bool CopyConfiguration(Registry& registry, std::string_view sourceKeyName, std::string_view destinationKeyName) {
    if (sourceKeyName == destinationKeyName) return true;
    const std::string base = std::string(kVisionThingKey) + "\\";
    const RegTreeCopier copier(std::string(sourceKeyName), std::string(destinationKeyName), PrefixMode::Keep);
    return ReplaceTree(registry, copier, base + std::string(sourceKeyName), base + std::string(destinationKeyName));
}

bool CopyOptionsInward(Registry& registry) {
    const RegTreeCopier copier(std::string(kConfigurationInterfaceKey), std::string(kLibraryInterfaceKey),
                               PrefixMode::Replace);
    return ReplaceTree(registry, copier, kConfigurationInterfaceKey, kLibraryInterfaceKey);
}

bool CopyOptionsOutward(Registry& registry) {
    const RegTreeCopier copier(std::string(kLibraryInterfaceKey), std::string(kConfigurationInterfaceKey),
                               PrefixMode::Replace);
    return ReplaceTree(registry, copier, kLibraryInterfaceKey, kConfigurationInterfaceKey);
}

}  // namespace dravolo::tool
