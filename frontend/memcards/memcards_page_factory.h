#pragma once
// The maker the option sheet calls to build its memory-card page
// (SheetContext::makeMemcardsPage, OptionSheetExtras::makeMemcardsPage).

#include <functional>

class QWidget;

namespace dravolo {

class CMemcardsPageBase;
class FileChoosers;
class Prompter;
class SettingsStore;

using MemcardsPageMaker = std::function<CMemcardsPageBase*(QWidget* parent)>;

// Pages made by it read the card folders from `settings` and talk through
// `prompter`; both must outlive the sheet. choosers: nullptr for the system's
// file dialogs (or an object that outlives the sheet).
MemcardsPageMaker MakeMemcardsPageMaker(const SettingsStore& settings, Prompter& prompter,
                                        FileChoosers* choosers = nullptr);

}  // namespace dravolo
