#include "frontend/options/option_lists.h"

#include "common/base/text.h"
#include "common/platform/winfs.h"

namespace dravolo {

std::vector<std::string> FindBiosFiles(std::string_view installPath) {
    const std::string dir = std::string(installPath) + "bios\\";
    std::vector<std::string> paths;
    for (const FindEntry& entry : FindFiles(dir + "*.bin", FindWhat::FilesOnly)) paths.push_back(dir + entry.name);
    return paths;
}

std::string PcsxBiosShown(std::string_view stored) {
    return std::string(stored == kPcsxHleValue ? kPcsxHleEntry : stored);
}

std::string PcsxBiosStored(std::string_view shown) {
    return std::string(shown == kPcsxHleEntry ? kPcsxHleValue : shown);
}

const std::vector<std::string>& CdrDriveEntries() {
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> list{"First"};
        for (char letter = 'C'; letter <= 'Z'; ++letter) list.emplace_back(1, letter);
        list.emplace_back();
        return list;
    }();
    return entries;
}

std::optional<int> CdrDriveEntryFor(std::string_view stored) {
    const auto& entries = CdrDriveEntries();
    // A prefix search for "F" would stop at "First".
    if (stored == "F") return static_cast<int>('F' - 'C') + 1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (entry.size() >= stored.size() && EqualsNoCase(std::string_view(entry).substr(0, stored.size()), stored))
            return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string CdromLetterFromEntry(std::string_view entryText) {
    return entryText.empty() ? std::string("First") : std::string(entryText);
}

int ClampFpseCacheSize(long long size) {
    if (size < kFpseCacheMin) return kFpseCacheMin;
    if (size > kFpseCacheMax) return kFpseCacheMax;
    return static_cast<int>(size);
}

std::string WithDefaultExtension(std::string_view path, std::string_view extension) {
    const std::size_t nameStart = path.find_last_of("\\/:");
    const std::string_view name = nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
    if (name.empty() || name.find('.') != std::string_view::npos || FileExists(path)) return std::string(path);
    return std::string(path) + "." + std::string(extension);
}

namespace {

bool IsAbsoluteWindowsPath(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') || path.starts_with('\\') || path.starts_with('/');
}

std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace

std::string BrowseStartPath(std::string_view current, std::string_view installPath) {
    const std::string trimmed = TrimSpaces(current);
    if (!trimmed.empty()) {
        const std::string path = IsAbsoluteWindowsPath(trimmed) ? trimmed : std::string(installPath) + trimmed;
        const std::string folder = FolderOf(path);
        if (!folder.empty() && DirectoryExists(folder)) return path;
    }
    if (!installPath.empty() && DirectoryExists(installPath)) return std::string(installPath);
    return {};
}

}  // namespace dravolo
