#pragma once
// A private Windows world for the option sheet's Qt tests and screenshots: a
// temporary prefix (DRAVOLO_PREFIX) whose registry holds the settings, a
// working directory with the five profile folders, emulator folders under
// drive_c with test plugins installed under real-looking names, a prompter
// that records messages and choosers answered by the test.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/widgets/sheet_context.h"
#include "frontend/widgets/shell_choosers.h"

namespace dravolo::test {

class RecordingPrompter : public Prompter {
public:
    struct Message {
        std::string text, caption;
        PromptIcon icon;
    };
    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons,
                     PromptAnswer defaultAnswer) override {
        messages.push_back({std::string(text), std::string(caption), icon});
        return defaultAnswer;
    }
    std::vector<Message> messages;
};

class AnsweringChoosers : public ShellChoosers {
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
public:
    OptionsWorkspace();
    ~OptionsWorkspace();
    OptionsWorkspace(const OptionsWorkspace&) = delete;
    OptionsWorkspace& operator=(const OptionsWorkspace&) = delete;

    // Host paths.
    const std::string& root() const { return root_; }
    std::string DriveC(const std::string& rest) const { return prefix_ + "/drive_c/" + rest; }
    std::string Work(const std::string& rest) const { return workdir_ + "/" + rest; }

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
    std::string root_, prefix_, workdir_, savedCwd_;
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
    CreateProfileFile(static_cast<int>(Record::kKind), path, settings());
    SaveProfileRecord(record, path, prompter);
    return path;
}

}  // namespace dravolo::test
