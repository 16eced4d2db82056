#pragma once
// A private Windows world for the memory-card page's Qt tests and pictures:
// the tests' workspace (its prefix has ePSXe's card folder), settings in
// memory, a recording prompter and file choosers
// answered by the test, and cards with icons and Japanese titles.

#include <optional>
#include <string>
#include <vector>

#include "frontend/core/settings_store.h"
#include "frontend/widgets/file_choosers.h"
#include "tests/support/card_builder.h"
#include "tests/support/memory_registry.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/test_workspace.h"

namespace dravolo::test {

class AnsweringCardChoosers : public FileChoosers {
public:
    std::optional<QString> OpenFile(QWidget*, const QString& filter, const QString& initial) override {
        asked.push_back({filter, initial});
        return file;
    }
    std::optional<QString> SaveFile(QWidget*, const QString& filter, const QString& initial) override {
        asked.push_back({filter, initial});
        return file;
    }
    std::optional<QString> file;
    std::vector<std::pair<QString, QString>> asked;
};

class MemcardsWorkspace {
    TestWorkspace world_;  // first made, last gone

public:
    MemcardsWorkspace() = default;
    MemcardsWorkspace(const MemcardsWorkspace&) = delete;
    MemcardsWorkspace& operator=(const MemcardsWorkspace&) = delete;

    // Writes a card into ePSXe's card folder; returns its Windows path.
    std::string PutCard(const std::string& name, const std::string& bytes) const;
    std::string CardBytes(const std::string& name) const;
    std::string HostCardPath(const std::string& name) const;
    // A file anywhere below drive_c (host path returned).
    std::string PutDriveFile(const std::string& rest, const std::string& bytes) const;

    // Two cards that look like a player's: icons, Japanese and English titles,
    // a three-block save, an erased one.
    static CardBuilder PlayerCard();
    static CardBuilder SecondCard();

    MemoryRegistry registry;
    SettingsStore settings{registry};
    RecordingPrompter prompter;
    AnsweringCardChoosers choosers;
};

}  // namespace dravolo::test
