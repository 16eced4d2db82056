#pragma once
// Copying key trees below HKEY_CURRENT_USER. A copier knows a source name, a
// destination name and a prefix mode; every key of the source tree gets its
// destination path by finding the source name in its own path (without regard
// to case) and putting the destination name in its place. The configuration
// swap and the options exchange with KestrineStuff are such copies; each one
// commits as a single registry batch.

#include <optional>
#include <string>
#include <string_view>

#include "common/platform/registry.h"

namespace dravolo::tool {

enum class PrefixMode {
    Keep,     // what comes before the source name stays
    Replace,  // the destination name replaces everything up to the end of the match
};

class RegTreeCopier {
public:
    RegTreeCopier(std::string sourceName, std::string destinationName, PrefixMode mode)
        : source_(std::move(sourceName)), destination_(std::move(destinationName)), mode_(mode) {}

    // The destination path of a source key path; nullopt when the path does
    // not contain the source name.
    std::optional<std::string> DestinationPath(std::string_view keyPath) const;

    // Adds every key and value below sourceKey (depth first, values before
    // subkeys) to batch, keeping each value's type and bytes. Returns false
    // when a path lacked the source name: the copy stops there and the batch
    // holds what came before.
    bool Copy(Registry& registry, std::string_view sourceKey, RegBatch& batch) const;

private:
    bool CopyKey(Registry& registry, const std::string& keyPath, RegBatch& batch, int depth) const;

    std::string source_;
    std::string destination_;
    PrefixMode mode_;
};

// Adds to batch: delete the destination key tree, then copy the source tree
// (full paths below HKEY_CURRENT_USER) into its place. False when the copy
// had to stop (the batch then holds what came before).
bool AddTreeReplacement(Registry& registry, std::string_view sourceKey, std::string_view destinationKey,
                        RegBatch& batch);

// The configuration copy between two configuration key names below
// "Software\Vision Thing" ("PSEmu Pro", "KestrineCFG\name"): the destination
// tree is deleted, then the source tree is copied in, in one commit. Nothing at
// all happens when the names are equal. A missing source leaves the
// destination deleted.
bool CopyConfiguration(Registry& registry, std::string_view sourceKeyName, std::string_view destinationKeyName);

// The options of KestrineStuff travel between the configuration's
// "PSEmu Pro\Kestrine\Interface" and the library's own interface key.
inline constexpr std::string_view kConfigurationInterfaceKey = "Software\\Vision Thing\\PSEmu Pro\\Kestrine\\Interface";
inline constexpr std::string_view kLibraryInterfaceKey = "Software\\Kestrine\\Kestrine\\Interface";
bool CopyOptionsInward(Registry& registry);   // configuration -> library
bool CopyOptionsOutward(Registry& registry);  // library -> configuration

}  // namespace dravolo::tool
