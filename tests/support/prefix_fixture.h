#pragma once
// TestWorkspace (test_workspace.h) as a GoogleTest fixture: made in SetUp,
// gone in TearDown. On Windows the test is skipped unless drive C: and the
// registry may be changed (scratch_windows.h).

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/base/bytes.h"
#include "tests/support/test_workspace.h"

namespace dravolo::test {

class PrefixFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TestWorkspace& workspace() { return *workspace_; }
    const std::string& root() const { return workspace_->root(); }
    const std::string& prefix() const { return workspace_->prefix(); }
    const std::string& workdir() const { return workspace_->workdir(); }
    const std::string& driveC() const { return workspace_->driveC(); }

    void WriteHostFile(const std::string& path, std::string_view content) const {
        workspace_->WriteHostFile(path, content);
    }
    std::string ReadHostFile(const std::string& path) const { return workspace_->ReadHostFile(path); }
    bool HostExists(const std::string& path) const { return workspace_->HostExists(path); }
    std::string HostPath(const std::string& path) const { return workspace_->HostPath(path); }

private:
    std::optional<TestWorkspace> workspace_;
};

}  // namespace dravolo::test
