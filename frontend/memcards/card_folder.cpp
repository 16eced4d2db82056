#include "frontend/memcards/card_folder.h"

#include <algorithm>

#include "common/base/text.h"
#include "common/memcard/card_layout.h"
#include "common/platform/winfs.h"
#include "frontend/core/settings_store.h"

namespace dravolo::memcards {

namespace {

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string MemcardDirectory(const SettingsStore& settings, std::optional<EmulatorKind> kind) {
    const EmulatorKind emulator = kind.value_or(EmulatorKind::Epsxe);
    return settings.InstallPath(emulator) + (emulator == EmulatorKind::Adripsx ? "mems\\" : "memcards\\");
}

std::vector<std::string> ListCardFiles(const std::string& directory) {
    std::vector<std::string> entries;
    for (const char* mask : {"*.mc?", "*.ddf"})
        for (const dravolo::FindEntry& found : FindFiles(directory + mask))
            InsertSorted(entries, directory + found.name);
    return entries;
}

void InsertSorted(std::vector<std::string>& entries, std::string entry) {
    entry = LowerAnsi(entry);
    const auto at =
        std::upper_bound(entries.begin(), entries.end(), entry,
                         [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    entries.insert(at, std::move(entry));
}

int FindCardEntry(const std::vector<std::string>& entries, std::string_view path) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (EqualsNoCase(entries[i], path)) return static_cast<int>(i);
    return -1;
}

ImportPlan PlanImport(const std::string& directory, std::string_view chosenPath) {
    ImportPlan plan;
    plan.destination = LowerAnsi(directory + std::string(FileNameOf(chosenPath)));
    const std::string name = LowerAnsi(FileNameOf(chosenPath));
    const std::size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::size_t header = 0;
    if (extension == "gme") header = memcard::kDexDriveHeaderSize;
    else if (extension == "vgs" || extension == "mem") header = memcard::kVgsHeaderSize;
    else {
        static constexpr std::string_view kListed[] = {"mcr", "mcd", "mc", "ddf"};
        static constexpr std::string_view kRenamed[] = {"ps", "psm", "mci", "srm", "bin", "vmc", "vmp", "vm1"};
        const auto in = [&extension](const auto& list) {
            return std::find(std::begin(list), std::end(list), extension) != std::end(list);
        };
        if (in(kListed)) plan.anyFormat = true;
        else if (in(kRenamed)) {
            plan.anyFormat = true;
            plan.destination.replace(plan.destination.size() - extension.size(), extension.size(), "mcr");
        }
        return plan;
    }
    plan.destination.replace(plan.destination.size() - 3, 3, "mcr");
    plan.headerSize = header;
    return plan;
}

std::string WithDefaultExtension(std::string_view path, std::string_view extension) {
    const std::string_view name = FileNameOf(path);
    if (name.empty() || name.find('.') != std::string_view::npos) return std::string(path);
    return std::string(path) + "." + std::string(extension);
}

}  // namespace dravolo::memcards
