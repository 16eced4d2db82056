// dravolo-cli memcard snapshots and restore on a profile made by
// dravolo-cli profiles new: the listing with each snapshot's saves and how
// they compare with the card, and a restore that can be undone.

#include <gtest/gtest.h>

#include <ctime>

#include "frontend/core/card_snapshots.h"
#include "tests/memcards/cli_memcard_fixture.h"
#include "tests/support/card_builder.h"

namespace dravolo {
namespace {

using test::CardBuilder;
using test::CliMemcard;

constexpr std::time_t kDay = 1700000000;

std::string IdAt(std::time_t when, int card) {
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", std::localtime(&when));
    return std::string(text) + "-" + std::to_string(card);
}
std::string DateAt(std::time_t when) {
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&when));
    return text;
}

class CliSnapshots : public CliMemcard {
protected:
    void SetUp() override {
        CliMemcard::SetUp();
        cli::Context context{out, err, prompter};
        ASSERT_EQ(cli::Run({"profiles", "new", "Epsxe", "Crash"}, context), 0) << err.str();
    }
    void PutCard(const std::string& name, const std::string& bytes) {
        WriteHostFile(driveC() + "/epsxe/memcards/" + name, bytes);
    }
    const std::string folder = ".\\Epsxe\\Crash.snapshots\\";
};

TEST_F(CliSnapshots, ListAndRestore) {
    const CardBuilder then = CardBuilder().AddSave({0}, "CRASH", 1).AddSave({1}, "SPYRO", 2).AddSave({2}, "TEKKEN", 3);
    PutCard("epsxe000.mcr", then.str());
    ASSERT_EQ(memcards::TakeSnapshot(folder, 1, "c:\\epsxe\\memcards\\epsxe000.mcr", 10, kDay),
              memcards::SnapshotOutcome::Taken);
    // Since: CRASH played on, TEKKEN gone, SPYRO as it was.
    const CardBuilder now =
        CardBuilder().AddSave({0}, "CRASH", 1).SetByte(CardBuilder::BlockOffset(0) + 900, 7).AddSave({1}, "SPYRO", 2);
    PutCard("epsxe000.mcr", now.str());
    PutCard("epsxe001.mcr", CardBuilder().str());
    ASSERT_EQ(memcards::TakeSnapshot(folder, 2, "c:\\epsxe\\memcards\\epsxe001.mcr", 10, kDay + 5),
              memcards::SnapshotOutcome::Taken);

    ASSERT_EQ(Run({"snapshots", "Epsxe", "Crash"}), 0) << err.str();
    EXPECT_EQ(out.str(), IdAt(kDay + 5, 2) + "\t" + DateAt(kDay + 5) + "\t2\tno saves\n" + IdAt(kDay, 1) + "\t" +
                             DateAt(kDay) + "\t1\tCRASH (changed), SPYRO, TEKKEN (not on the card)\n");

    // Restore asks; No changes nothing.
    EXPECT_EQ(Run({"restore", "Epsxe", "Crash", IdAt(kDay, 1)}), 1);
    EXPECT_EQ(prompter.messages.back().text, "Restore the snapshot of " + DateAt(kDay) +
                                                 " over c:\\epsxe\\memcards\\epsxe000.mcr?\nThe card as it is now is "
                                                 "kept as a snapshot, so this can be undone.");
    EXPECT_EQ(ReadHostFile(driveC() + "/epsxe/memcards/epsxe000.mcr"), now.str());
    prompter.answers.push_back(PromptAnswer::Yes);
    ASSERT_EQ(Run({"restore", "Epsxe", "Crash", IdAt(kDay, 1)}), 0) << err.str();
    EXPECT_EQ(ReadHostFile(driveC() + "/epsxe/memcards/epsxe000.mcr"), then.str());
    // The card as it was before the restore is a snapshot now.
    ASSERT_EQ(Run({"snapshots", "Epsxe", "Crash"}), 0);
    EXPECT_NE(out.str().find("\t1\tCRASH (changed), SPYRO; only on the card: TEKKEN\n"), std::string::npos)
        << out.str();

    EXPECT_EQ(Run({"restore", "Epsxe", "Crash", "20000101-000000-1"}), 1);
    EXPECT_NE(err.str().find("has no snapshot"), std::string::npos);
    EXPECT_EQ(Run({"snapshots", "Epsxe", "Nobody"}), 1);
    EXPECT_EQ(Run({"snapshots", "Nintendo", "Crash"}), 1);
    EXPECT_EQ(Run({"snapshots", "Epsxe"}), 2);
}

}  // namespace
}  // namespace dravolo
