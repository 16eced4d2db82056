// Memory cards are changed in place while an emulator may hold them: an
// operation writes only the frames it changes, so a crash or a second writer
// can never touch a frame of a save the operation left alone.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "common/memcard/memcard_ops.h"
#include "common/platform/posix/file_write_hook.h"
#include "tests/crash/kill_harness.h"
#include "tests/support/card_builder.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

using test::CardBuilder;

std::vector<posix::FileWriteStep> g_writes;
void RecordWrite(const posix::FileWriteStep& step) {
    if (step.size > 0) g_writes.push_back(step);
}

class CardWrites : public test::PrefixFixture {
protected:
    std::string Card(const std::string& name) const { return driveC() + "/epsxe/memcards/" + name; }
    void Put(const std::string& name, const CardBuilder& card) const {
        std::ofstream(Card(name), std::ios::binary | std::ios::trunc) << card.str();
    }
    // Runs op with every write recorded; each written frame must be one the
    // operation changed, and at least one must be written.
    void ExpectOnlyChangedFramesWritten(const std::string& name, const std::function<int()>& op) {
        const std::string before = *test::ReadIfExists(Card(name));
        g_writes.clear();
        posix::SetFileWriteHook(RecordWrite, 4096);  // cut the writes finely: each is checked
        const int result = op();
        posix::SetFileWriteHook(nullptr);
        ASSERT_EQ(result, 1);
        const std::string after = *test::ReadIfExists(Card(name));
        ASSERT_EQ(after.size(), before.size());
        ASSERT_FALSE(g_writes.empty());
        std::set<std::size_t> written;
        for (const auto& w : g_writes)
            for (std::size_t f = w.offset / CardBuilder::kFrameSize; f * CardBuilder::kFrameSize < w.offset + w.size;
                 ++f)
                written.insert(f);
        for (const std::size_t f : written) {
            const std::size_t at = f * CardBuilder::kFrameSize;
            EXPECT_NE(before.compare(at, CardBuilder::kFrameSize, after, at, CardBuilder::kFrameSize), 0)
                << "frame " << f << " written without a change";
        }
    }
};

TEST_F(CardWrites, EraseMarkFreeAndCopyWriteOnlyTheFramesTheyChange) {
    CardBuilder card;
    card.AddSave({0}, "ONE", 1).AddSave({1, 2, 3}, "THREE", 2).AddSave({5}, "FIVE", 3).AddSave({7, 8}, "TWO", 4);
    Put("a.mcr", card);
    Put("b.mcr", CardBuilder().AddSave({0}, "OTHER", 9));
    const std::string a = "C:\\epsxe\\memcards\\a.mcr";
    const std::string b = "C:\\epsxe\\memcards\\b.mcr";

    ExpectOnlyChangedFramesWritten("a.mcr", [&] { return memcard::MemCardMarkFree(a, 1); });
    ExpectOnlyChangedFramesWritten("a.mcr", [&] { return memcard::MemCardDeleteSave(a, 5); });
    ExpectOnlyChangedFramesWritten("a.mcr", [&] { return memcard::MemCardCopySave(a, 7, a, 10); });
    ExpectOnlyChangedFramesWritten("b.mcr", [&] { return memcard::MemCardCopySave(a, 0, b, 4); });
    // The saves no operation named are as they were.
    const std::string after = *test::ReadIfExists(Card("a.mcr"));
    const std::string original = card.str();
    for (const int slot : {0, 7, 8}) {
        const std::size_t block = CardBuilder::BlockOffset(slot);
        EXPECT_EQ(after.compare(block, CardBuilder::kBlockSize, original, block, CardBuilder::kBlockSize), 0) << slot;
    }
}

}  // namespace
}  // namespace dravolo
