#include "frontend/options/option_sheet_entry.h"

#include <QTabWidget>

#include <optional>

#include "frontend/core/settings_store.h"
#include "frontend/launch/emulator_world.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/options/CEmuPropertySheet.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/widgets/file_choosers.h"

namespace dravolo {

std::string ProfileNameOfPath(const std::string& profilePath) {
    const std::size_t slash = profilePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? profilePath : profilePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

OptionSheetResult RunOptionSheet(QWidget* parent, SheetKind kind, const std::string& profilePath,
                                 SettingsStore& settings, Prompter& prompter,
                                 std::function<void(AnyProfileRecord&)> storeApplied, const OptionSheetExtras& extras) {
    const auto* emulatorKind = std::get_if<EmulatorKind>(&kind);
    const auto emulator = emulatorKind ? std::optional(*emulatorKind) : std::nullopt;

    FileChoosers systemChoosers;
    // The pages, the plugin page's side files and the paths below the
    // emulator's folder belong to the emulator's own prefix when it has one.
    std::optional<EmulatorWorld> world;
    if (emulator) world.emplace(*emulator, settings, settings.registry());
    const auto editor = MakePlatformRegistryEditor(world ? world->registry() : settings.registry());
    SheetContext context{settings, prompter, extras.choosers ? *extras.choosers : systemChoosers, *editor,
                         extras.makeMemcardsPage};
    CEmuPropertySheet sheet(
        context, extras.caption.isEmpty() ? CEmuPropertySheet::CaptionForKind(kind) : extras.caption, parent);

    if (!emulator) {
        sheet.SetKind(kMemcardsOnly);
        // Without the memory-card page there is nothing to show.
        if (sheet.tabs()->count() == 0) return OptionSheetResult::NotOpened;
        sheet.exec();
        return OptionSheetResult::Cancelled;
    }

    AnyProfileRecord record = MakeDefaultRecord(*emulator, settings);
    if (!LoadAnyRecord(record, profilePath, prompter)) return OptionSheetResult::NotOpened;
    sheet.SetProfileName(ProfileNameOfPath(profilePath));
    sheet.SetKind(kind);
    sheet.LoadRecord(record);
    sheet.SetApplyHandler(std::move(storeApplied));
    if (sheet.exec() != QDialog::Accepted) return OptionSheetResult::Cancelled;
    sheet.StoreRecord(record);
    return SaveAnyRecord(record, profilePath, prompter) ? OptionSheetResult::Saved : OptionSheetResult::SaveFailed;
}

}  // namespace dravolo
