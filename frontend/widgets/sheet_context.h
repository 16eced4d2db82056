#pragma once
// What the option sheet and its pages work with: the settings store (install
// folders, the registry), the Prompter for messages, the file choosers, the
// registry editor for the plugin side files and, once it exists, the maker of
// the memory-card page.

#include <functional>

class QWidget;

namespace dravolo {

class SettingsStore;
class Prompter;
class FileChoosers;
class RegistryEditor;
class CMemcardsPageBase;

struct SheetContext {
    SettingsStore& settings;
    Prompter& prompter;
    FileChoosers& choosers;
    RegistryEditor& editor;
    // Builds the memory-card page; without it the sheet shows no such page.
    std::function<CMemcardsPageBase*(QWidget* parent)> makeMemcardsPage;
};

}  // namespace dravolo
