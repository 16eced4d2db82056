#pragma once
// What every window of the shell works with: the settings store, the
// Prompter for messages and the choosers for files, folders and colours.

namespace dravolo {

class SettingsStore;
class Prompter;
class FileChoosers;

struct ShellContext {
    SettingsStore& settings;
    Prompter& prompter;
    FileChoosers& choosers;
};

}  // namespace dravolo
