#pragma once
// A private Windows world for one Qt test: the tests' workspace (prefix,
// working directory with the five profile folders), the settings store on
// it, a prompter that records every message with its default answer, and
// choosers answered from the test.

#include <QColor>
#include <QString>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/base/bytes.h"
#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/shell/shell_context.h"
#include "frontend/widgets/file_choosers.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/test_workspace.h"

namespace dravolo::test {

class ScriptedChoosers : public FileChoosers {
public:
    std::optional<QString> OpenFile(QWidget*, const QString& filter, const QString& initial) override {
        lastFilter = filter;
        lastInitialFile = initial;
        return file;
    }
    std::optional<QString> PickFolder(QWidget*, const QString& title, const QString& initial) override {
        lastTitle = title;
        lastInitialFolder = initial;
        return folder;
    }
    std::optional<QColor> PickColor(QWidget*, const QColor& initial) override {
        lastInitialColour = initial;
        return colour;
    }
    std::optional<QString> file, folder;
    std::optional<QColor> colour;
    QString lastFilter, lastTitle, lastInitialFile, lastInitialFolder;
    QColor lastInitialColour;
};

class UiWorkspace {
    TestWorkspace world_;  // first made, last gone

public:
    UiWorkspace();
    ~UiWorkspace();
    UiWorkspace(const UiWorkspace&) = delete;
    UiWorkspace& operator=(const UiWorkspace&) = delete;

    const std::string &root, &prefix, &workdir;
    // The host path of drive C: (the prefix's drive_c; the real C: on Windows).
    const std::string& driveC;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<SettingsStore> settings;
    RecordingPrompter prompter;
    ScriptedChoosers choosers;
    std::unique_ptr<ShellContext> context;

    // Host helpers; relative paths are below the working directory.
    void Write(const std::string& path, const Bytes& data) const;
    bool Exists(const std::string& path) const;
    // A profile with a description and picture path, as the CLI makes it.
    void MakeProfile(EmulatorKind kind, const std::string& name, const std::string& description = " ",
                     const std::string& bitmap = " ");
};

// A 24-bit Windows bitmap of one colour.
Bytes SolidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace dravolo::test
