#include "tool/core/plugin_page_logic.h"

#include <algorithm>
#include <cstdio>

#include "common/base/text.h"
#include "common/platform/winfs.h"
#include "common/psemu/plugin_types.h"
#include "tool/core/file_date.h"
#include "tool/core/tool_registry.h"

namespace dravolo::tool {

namespace {

constexpr PluginGroupPlace kPlaces[kChoiceGroupCount] = {
    {"GPU", "GPUlib", 1, "GPU"},  {"SPU", "SPUlib", 2, "SPU"},  {"CDR", "CDRlib", 3, "CDR"},
    {"PAD", "PAD1lib", 4, "PAD"}, {"PAD", "PAD2lib", 5, "PAD"}, {"PAD", "PADlib", 6, "PAD"},
    {"NET", "NETlib", 6, "NET"},
};

struct BuiltIn {
    const char* title;
    const char* code;
    int group;
};
constexpr BuiltIn kBuiltIns[] = {
    {"Internal ePSXe SPU", "SPUCORE", 1},        {"Internal ePSXe W2K CDR", "W2KCDRCORE", 2},
    {"Internal ePSXe W9X CDR", "W9XCDRCORE", 2}, {"Internal ePSXe PAD1", "PAD1CORE", 3},
    {"Internal ePSXe PAD2", "PAD2CORE", 4},      {"Internal ePSXe NULL NET", "DISABLED", 6},
};

constexpr int kTypeBits = 14;
// The plugins that run from the initial marking until the dialog closes.
constexpr int kStartedGroups[] = {0, 1, 2, 6};

std::string Title(const char* name, std::uint32_t version) {
    char numbers[16];
    std::snprintf(numbers, sizeof numbers, " %d.%d", static_cast<int>((version >> 8) & 0xFF),
                  static_cast<int>(version & 0xFF));
    return std::string(name ? name : "") + numbers;
}

}  // namespace

const PluginGroupPlace& GroupPlace(int group) { return kPlaces[std::clamp(group, 0, kChoiceGroupCount - 1)]; }

int GroupOfTypeBit(int bit) {
    switch (bit) {
    case 0: return 2;
    case 1: return 0;
    case 2: return 1;
    case 3: return 3;
    case 4: return 6;
    default: return bit + 2;
    }
}

std::optional<int> QuickConfigureGroup(long n) {
    if (n < 1 || n > 6) return std::nullopt;
    return n == 6 ? 6 : static_cast<int>(n - 1);
}

const std::string& PluginRow::Column(int column) const {
    if (column == 1) return dll;
    if (column == 2) return date;
    return title;
}

PluginPageLogic::~PluginPageLogic() { Shutdown(); }

void PluginPageLogic::AddRow(PluginRow row) {
    const int group = std::clamp(row.group, 0, kGroupCount - 1);
    row.group = group;
    row.id = nextId_++;
    // Each group's rows stay together in group order, the latest on top.
    const std::size_t at = std::min(insertion_[static_cast<std::size_t>(group)], rows_.size());
    for (int later = group + 1; later < kGroupCount; ++later) ++insertion_[static_cast<std::size_t>(later)];
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
}

void PluginPageLogic::ScanLibrary(const std::string& directory, const std::string& name) {
    const std::string path = directory + "\\PLUGINS\\" + name;
    const auto date = FileDateText(path);
    if (!date) return;
    auto library = loader_.Open(path);
    if (!library) return;
    if (!library->Has("PSEgetLibName") || !library->Has("PSEgetLibVersion") || !library->Has("PSEgetLibType")) return;
    const auto libName = library->CallText("PSEgetLibName");
    const auto version = library->CallLong("PSEgetLibVersion");
    const auto typeWord = library->CallLong("PSEgetLibType");
    if (!libName || !version || !typeWord) return;

    PluginRow row;
    row.title = Title(libName->c_str(), static_cast<std::uint32_t>(*version));
    row.dll = name;
    row.date = *date;
    row.module = library.get();
    const auto type = static_cast<std::uint32_t>(*typeWord);
    bool listed = false;
    for (int bit = 0; bit < kTypeBits; ++bit) {
        if (!(type & (1u << bit))) continue;
        PluginRow entry = row;
        entry.group = GroupOfTypeBit(bit);
        if (entry.group == 3) {
            // A pad is listed only when it says which ports it serves.
            const auto ports = library->CallLong("PADquery");
            if (!ports) continue;
            if (*ports & 2) {
                PluginRow second = row;
                second.group = 4;
                AddRow(std::move(second));
            }
        }
        AddRow(std::move(entry));
        listed = true;
    }
    // Libraries with rows stay loaded while the tool runs.
    if (listed) libraries_.push_back(std::move(library));
}

bool PluginPageLogic::Fill(std::string_view emulatorDirectory, int sortColumn, int sortDirection) {
    rows_.clear();
    insertion_.fill(0);
    sortColumn_ = std::clamp(sortColumn, 0, 2);
    sortDirection_ = sortDirection != 0 ? 1 : 0;
    if (emulatorDirectory.empty()) return false;
    const std::string directory(emulatorDirectory);
    // Plugins find their own files relative to the emulator's folder.
    // A folder that cannot be entered lists no plugins below: nothing more to say.
    (void)SetCurrentDir(directory);
    for (const FindEntry& entry : FindFiles(directory + "\\PLUGINS\\*.DLL")) ScanLibrary(directory, entry.name);

    const auto emulatorDate = FileDateText(directory + "\\epsxe.exe");
    if (!emulatorDate) return true;
    for (const BuiltIn& builtIn : kBuiltIns) {
        PluginRow row;
        row.title = builtIn.title;
        row.dll = builtIn.code;
        row.date = *emulatorDate;
        row.group = builtIn.group;
        AddRow(std::move(row));
    }
    SortBy(sortColumn_, sortDirection_);
    return true;
}

void PluginPageLogic::SortBy(int column, int direction) {
    sortColumn_ = std::clamp(column, 0, 2);
    sortDirection_ = direction != 0 ? 1 : 0;
    const bool descending = sortDirection_ != 0;
    std::vector<PluginRow> sorted;
    sorted.reserve(rows_.size());
    for (int group = 0; group < kGroupCount; ++group) {
        std::vector<PluginRow> placed;
        for (const PluginRow& row : rows_) {
            if (row.group != group) continue;
            const std::string& text = row.Column(sortColumn_);
            // Before the first placed row that is not smaller (ascending) or not
            // greater (descending): equal texts come out in reverse order.
            const auto at = std::find_if(placed.begin(), placed.end(), [&](const PluginRow& other) {
                const int order = other.Column(sortColumn_).compare(text);
                return descending ? order <= 0 : order >= 0;
            });
            placed.insert(at, row);
        }
        for (PluginRow& row : placed) sorted.push_back(std::move(row));
    }
    rows_ = std::move(sorted);
    // Rows added later still join their group at its top.
    insertion_.fill(0);
    for (const PluginRow& row : rows_) {
        for (int later = row.group + 1; later < kGroupCount; ++later) ++insertion_[static_cast<std::size_t>(later)];
    }
    ApplyMarks(false);
}

void PluginPageLogic::ClickColumn(int column) {
    column = std::clamp(column, 0, 2);
    const int direction = (column == sortColumn_ && sortDirection_ == 0) ? 1 : 0;
    SortBy(column, direction);
}

void PluginPageLogic::ApplyMarks(bool start) {
    ToolRegistry values(registry_);
    for (int group = 0; group < kChoiceGroupCount; ++group) {
        const PluginGroupPlace& place = kPlaces[group];
        std::optional<std::string> chosen = values.ReadPsemuText(place.key, place.value);
        if (group == 6 && (!chosen || chosen->empty())) chosen = "DISABLED";
        if (!chosen) continue;
        const bool startsGroup =
            start && std::find(std::begin(kStartedGroups), std::end(kStartedGroups), group) != std::end(kStartedGroups);
        for (PluginRow& row : rows_) {
            if (row.group != group) continue;
            row.mark = EqualsNoCase(row.dll, *chosen) ? place.mark : 0;
            // One started plugin per group: a second one would never be shut down.
            if (startsGroup && row.mark && row.module && !started_[static_cast<std::size_t>(group)]) {
                started_[static_cast<std::size_t>(group)] = row.module;
                const std::string init = std::string(place.prefix) + "init";
                row.module->CallLong(init);
            }
        }
    }
}

bool PluginPageLogic::Activate(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return false;
    const PluginRow& chosen = rows_[static_cast<std::size_t>(row)];
    if (chosen.group >= kChoiceGroupCount) return false;
    const PluginGroupPlace& place = kPlaces[chosen.group];
    const bool written = ToolRegistry(registry_).WritePsemuText(place.key, place.value, chosen.dll);
    ApplyMarks(false);
    return written;
}

std::optional<PluginPageLogic::RowExport> PluginPageLogic::RowEntry(int row, const char* suffix) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return std::nullopt;
    const PluginRow& entry = rows_[static_cast<std::size_t>(row)];
    if (!entry.module || entry.group >= kChoiceGroupCount) return std::nullopt;
    return RowExport{entry.module, std::string(kPlaces[entry.group].prefix) + suffix};
}

void PluginPageLogic::Test(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    constexpr std::string_view kCaption = "Testing plugin...";
    const auto test = RowEntry(row, "test");
    // Plugins return a 32-bit long.
    const auto answer = test ? test->module->CallLong(test->name) : std::nullopt;
    if (test && ReportPluginLost(*test->module, prompter_)) return;
    if (!answer) {
        prompter_.Tell("Test function not available!", kCaption, PromptIcon::Information);
        return;
    }
    const std::int32_t result = *answer;
    char text[64];
    if (result == 0) {
        std::snprintf(text, sizeof text, "This driver reports that it should work correctly!");
    } else if (result > 0) {
        std::snprintf(text, sizeof text, "Driver reports warning (%ld)!", static_cast<long>(result));
    } else {
        std::snprintf(text, sizeof text, "Driver reports error (%ld)!!!", static_cast<long>(result));
    }
    prompter_.Tell(text, kCaption, PromptIcon::Information);
}

void PluginPageLogic::Configure(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    const auto configure = RowEntry(row, "configure");
    const bool called = configure && configure->module->CallLong(configure->name);
    if (configure && ReportPluginLost(*configure->module, prompter_)) return;
    if (called) return;
    prompter_.Tell("Configuration dialog not available!", "Try to configure...", PromptIcon::Information);
}

void PluginPageLogic::About(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    const auto about = RowEntry(row, "about");
    const bool called = about && about->module->CallVoid(about->name);
    if (about && ReportPluginLost(*about->module, prompter_)) return;
    if (called) return;
    prompter_.Tell("About dialog not available!", "Try to show About...", PromptIcon::Information);
}

std::optional<int> PluginPageLogic::FirstMarkedRow(int group) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].group == group && rows_[i].mark != 0) return static_cast<int>(i);
    }
    return std::nullopt;
}

void PluginPageLogic::Shutdown() {
    for (int group = 0; group < kChoiceGroupCount; ++group) {
        PluginModule* module = started_[static_cast<std::size_t>(group)];
        if (!module) continue;
        started_[static_cast<std::size_t>(group)] = nullptr;
        const std::string name = std::string(kPlaces[group].prefix) + "shutdown";
        module->CallLong(name);
    }
}

std::optional<int> PluginPageLogic::RowOfId(int id) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].id == id) return static_cast<int>(i);
    }
    return std::nullopt;
}

}  // namespace dravolo::tool
