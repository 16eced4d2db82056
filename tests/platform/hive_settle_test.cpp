// After a save the in-memory hive must equal a fresh read of the file, or the
// next edit would rewrite untouched keys differently from what is on disk.

#include <gtest/gtest.h>

#include "common/platform/posix/hive.h"
#include "common/platform/posix/hive_registry.h"
#include "common/platform/registry.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

class HiveSettle : public test::PrefixFixture {};

TEST_F(HiveSettle, RepeatedCommitsMatchAFreshReadEveryTime) {
    auto writer = OpenPrefixRegistry(prefix());
    ASSERT_TRUE(writer);
    for (int round = 0; round < 4; ++round) {
        RegBatch batch;
        batch.SetString(RegRoot::CurrentUser, "Software\\epsxe\\config", "VideoPlugin", "gpu" + std::to_string(round));
        batch.SetDword(RegRoot::CurrentUser, "Software\\Pcsx", "Cpu", static_cast<std::uint32_t>(round));
        batch.CreateKey(RegRoot::CurrentUser, "Software\\Empty" + std::to_string(round));
        if (round == 2) batch.DeleteTree(RegRoot::CurrentUser, "Software\\Empty0");
        ASSERT_TRUE(writer->Commit(batch));

        const std::string onDisk = ReadHostFile(prefix() + "/user.reg");
        auto parsed = hive::Hive::Parse(onDisk);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->Serialize(), onDisk) << round;

        auto reader = OpenPrefixRegistry(prefix());
        EXPECT_EQ(reader->QueryString(RegRoot::CurrentUser, "Software\\EPSXE\\Config", "videoplugin"),
                  "gpu" + std::to_string(round));
        EXPECT_EQ(reader->QueryDword(RegRoot::CurrentUser, "Software\\Pcsx", "Cpu"), static_cast<std::uint32_t>(round));
    }
    auto reader = OpenPrefixRegistry(prefix());
    EXPECT_FALSE(reader->KeyExists(RegRoot::CurrentUser, "Software\\Empty0"));
    EXPECT_TRUE(reader->KeyExists(RegRoot::CurrentUser, "Software\\Empty3"));
}

}  // namespace
}  // namespace dravolo
