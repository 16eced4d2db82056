#pragma once
// How the main window opens the option sheet.
//
// "Configure Settings" and "Configure Game Options": the emulator and the
// profile's ".set" path. The record is loaded from that file (a file that
// cannot be read is reported and nothing opens), shown on the kind's option
// page, the plugin page and the memory-card page, and saved back after OK.
// Apply hands a record built from the pages to storeApplied, which stores it
// as the main window does (keeping the stored description and picture).
//
// "Memcard Tool": kMemcardsOnly, no profile; the sheet shows only the
// memory-card page, titled "Memcards Tool".

#include <QString>
#include <functional>
#include <string>

#include "frontend/options/sheet_kind.h"
#include "frontend/profiles/records.h"
#include "frontend/widgets/CSheetPage.h"

class QWidget;

namespace dravolo {

class SettingsStore;
class Prompter;
class FileChoosers;

struct OptionSheetExtras {
    // Empty: the kind's caption ("ePSXe Options" ... "Memcards Tool").
    QString caption;
    // nullptr: the system's file dialogs.
    FileChoosers* choosers = nullptr;
    // Builds the memory-card page once it exists.
    std::function<CMemcardsPageBase*(QWidget* parent)> makeMemcardsPage;
};

enum class OptionSheetResult { NotOpened, Cancelled, Saved, SaveFailed };

OptionSheetResult RunOptionSheet(QWidget* parent, SheetKind kind, const std::string& profilePath,
                                 SettingsStore& settings, Prompter& prompter,
                                 std::function<void(AnyProfileRecord&)> storeApplied,
                                 const OptionSheetExtras& extras = {});

// ".\\Epsxe\\Crash.set" -> "Crash".
std::string ProfileNameOfPath(const std::string& profilePath);

}  // namespace dravolo
