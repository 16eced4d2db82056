#pragma once
// A private Windows world for the option sheet's Qt tests and screenshots:
// the tests' workspace, whose prefix's registry holds the settings, with the
// emulators' plugin and BIOS folders under drive_c, test plugins installed
// under real-looking names, a prompter that records messages and choosers
// answered by the test.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/widgets/sheet_context.h"
#include "frontend/widgets/file_choosers.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/test_workspace.h"

namespace dravolo::test {

class AnsweringChoosers : public FileChoosers {
public:
    std::optional<QString> OpenFile(QWidget*, const QString& filter, const QString& initial) override {
        filters.push_back(filter);
        initialFiles.push_back(initial);
        return file;
    }
    std::optional<QString> file;
    std::vector<QString> filters, initialFiles;
};

class OptionsWorkspace {
    TestWorkspace world_;  // first made, last gone

public:
    OptionsWorkspace();
    ~OptionsWorkspace();
    OptionsWorkspace(const OptionsWorkspace&) = delete;
    OptionsWorkspace& operator=(const OptionsWorkspace&) = delete;

    // Host paths.
    const std::string& root() const { return world_.root(); }
    std::string DriveC(const std::string& rest) const { return world_.driveC() + "/" + rest; }
    std::string Work(const std::string& rest) const { return world_.workdir() + "/" + rest; }

    // Copies a built test plugin (file name inside TEST_PLUGIN_DIR) to
    // drive_c/<folder>/<name> and writes its ".cfg" beside it.
    void InstallPlugin(const std::string& builtName, const std::string& folder, const std::string& name,
                       const std::string& cfg = "");
    void WriteFile(const std::string& hostPath, const std::string& content) const;
    std::string ReadFile(const std::string& hostPath) const;
    bool Exists(const std::string& hostPath) const;

    // Creates the profile's file holding the record.
    template <typename Record>
    std::string SaveProfile(const std::string& name, const Record& record);

    Registry& registry() { return *registry_; }
    SettingsStore& settings() { return *settings_; }
    SheetContext& context() { return *context_; }

    RecordingPrompter prompter;
    AnsweringChoosers choosers;

private:
    std::unique_ptr<Registry> registry_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<RegistryEditor> editor_;
    std::unique_ptr<SheetContext> context_;
};

}  // namespace dravolo::test

#include "frontend/profiles/profile_files.h"

namespace dravolo::test {

template <typename Record>
std::string OptionsWorkspace::SaveProfile(const std::string& name, const Record& record) {
    const std::string path = ProfilePath(Record::kKind, name);
    CreateProfileFile(Record::kKind, path, settings());
    SaveProfileRecord(record, path, prompter);
    return path;
}

}  // namespace dravolo::test
