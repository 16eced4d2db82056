#pragma once
// A prefix and working directory with profiles written through the real
// profile files, for the launch tests. The registry is in memory, or the
// prefix's own hives when a test needs programs and plugins to share it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo::test {

class LaunchFixture : public PrefixFixture {
protected:
    explicit LaunchFixture(bool systemRegistry = false) : systemRegistry_(systemRegistry) {}

    void SetUp() override {
        PrefixFixture::SetUp();
        if (systemRegistry_) reg_ = OpenSystemRegistry();
        else reg_ = std::make_unique<MemoryRegistry>();
        settings_ = std::make_unique<SettingsStore>(*reg_);
    }
    void TearDown() override {
        settings_.reset();
        reg_.reset();
        PrefixFixture::TearDown();
    }

    Registry& registry() { return *reg_; }
    SettingsStore& settings() { return *settings_; }

    // Creates the profile's file and saves the record into it.
    template <typename Record>
    void SaveProfile(const std::string& name, const Record& record) {
        const std::string path = ProfilePath(Record::kKind, name);
        ASSERT_TRUE(CreateProfileFile(Record::kKind, path, settings()));
        ASSERT_TRUE(SaveProfileRecord(record, path, prompter));
    }

    std::string String(RegRoot root, std::string_view key, std::string_view name) {
        const auto v = registry().QueryValue(root, key, name);
        if (!v) return "<missing>";
        if (v->type != kRegSz) return "<type " + std::to_string(v->type) + ">";
        // REG_SZ data must carry its terminating zero.
        if (v->data.empty() || v->data.back() != 0) return "<no terminator>";
        return RegDataAsText(v->data);
    }

    std::int64_t Dword(RegRoot root, std::string_view key, std::string_view name) {
        const auto v = registry().QueryValue(root, key, name);
        if (!v || v->type != kRegDword || v->data.size() != 4) return -1;
        return *RegDataAsDword(v->data);
    }

    std::vector<std::string> ValueNames(RegRoot root, std::string_view key) {
        std::vector<std::string> names;
        if (auto values = registry().EnumValues(root, key))
            for (const auto& v : *values) names.push_back(v.name);
        return names;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& m : prompter.messages) out.push_back(m.text);
        return out;
    }

    RecordingPrompter prompter;

private:
    bool systemRegistry_;
    std::unique_ptr<Registry> reg_;
    std::unique_ptr<SettingsStore> settings_;
};

}  // namespace dravolo::test
