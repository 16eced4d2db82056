#pragma once
// What the "Plugins" tab of KestrineTool does, without widgets: the scan of
// the emulator's PLUGINS folder, the rows in their groups, sorting, the marks
// of the chosen plugins, and the calls into the plugins. The choice lives in
// the active configuration area "Software\Vision Thing\PSEmu Pro".

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/prompter.h"
#include "common/psemu/plugin_module.h"
#include "common/platform/registry.h"

namespace dravolo::tool {

inline constexpr int kGroupCount = 16;
// Groups 0 to 6 have a place in the registry: video, sound, CD-ROM, first pad,
// second pad, pads (common), network. Groups above 6 only show in the list.
inline constexpr int kChoiceGroupCount = 7;

struct PluginGroupPlace {
    const char* key;     // subkey of the active area
    const char* value;   // value holding the chosen file name
    int mark;            // state image of a chosen row
    const char* prefix;  // entry-point prefix
};
const PluginGroupPlace& GroupPlace(int group);  // group 0 to 6

// The group of a PSEgetLibType bit: 0 CD-ROM -> 2, 1 video -> 0, 2 sound -> 1,
// 3 pad -> 3, 4 network -> 6, any higher bit k -> k + 2.
int GroupOfTypeBit(int bit);

// The group that quick configure number n (1 GPU, 2 SPU, 3 CDR, 4 first pad,
// 5 second pad, 6 NET) names; nullopt outside 1 to 6.
std::optional<int> QuickConfigureGroup(long n);

struct PluginRow {
    int id = 0;                      // stays with the row through sorts
    std::string title;               // column "Plugins"
    std::string dll;                 // column "DLL": file name or the built-in code word
    std::string date;                // column "Date"
    int group = 0;                   // also the row's image
    PluginModule* module = nullptr;  // none for built-in plugins
    int mark = 0;                    // state image, 0 for none

    const std::string& Column(int column) const;
};

class PluginPageLogic {
public:
    PluginPageLogic(Registry& registry, Prompter& prompter) : registry_(registry), prompter_(prompter) {}
    ~PluginPageLogic();
    PluginPageLogic(const PluginPageLogic&) = delete;
    PluginPageLogic& operator=(const PluginPageLogic&) = delete;

    // Makes the emulator directory the current directory, lists its plugins
    // and, when "epsxe.exe" is there, the emulator's own plugins, then sorts by
    // the saved column and direction. False (and no rows) without a directory.
    bool Fill(std::string_view emulatorDirectory, int sortColumn, int sortDirection);

    // Marks every row whose file name is its group's choice. With start (once,
    // at initialisation) the chosen video, sound, CD-ROM and network plugins are
    // started (their init is called) until Shutdown.
    void ApplyMarks(bool start);

    // Sorts by a column in a direction (0 ascending, else descending), keeping
    // the groups in their order.
    void SortBy(int column, int direction);
    // A click on a column header: descending only when the same column is
    // clicked again while ascending.
    void ClickColumn(int column);
    int sortColumn() const { return sortColumn_; }
    int sortDirection() const { return sortDirection_; }

    // The commands, on a row index; out of range does nothing.
    bool Activate(int row);
    void Configure(int row);
    void Test(int row);
    void About(int row);

    std::optional<int> FirstMarkedRow(int group) const;
    // Calls the shutdown of every started plugin, once.
    void Shutdown();

    const std::vector<PluginRow>& rows() const { return rows_; }
    std::optional<int> RowOfId(int id) const;

private:
    void AddRow(PluginRow row);
    void ScanLibrary(const std::string& directory, const std::string& name);
    // The row's module and its export name (entry point prefix + suffix);
    // nullopt when the row has no module or no place.
    struct RowExport {
        PluginModule* module;
        std::string name;
    };
    std::optional<RowExport> RowEntry(int row, const char* suffix) const;

    Registry& registry_;
    Prompter& prompter_;
    // Windows plugins on Linux all live in one plugin host run.
    PluginLoader loader_;
    std::vector<std::unique_ptr<PluginModule>> libraries_;
    std::vector<PluginRow> rows_;
    std::array<std::size_t, kGroupCount> insertion_{};
    std::array<PluginModule*, kChoiceGroupCount> started_{};
    int nextId_ = 1;
    int sortColumn_ = 0;
    int sortDirection_ = 0;
};

}  // namespace dravolo::tool
