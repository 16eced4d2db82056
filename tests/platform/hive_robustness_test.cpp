// Damaged, cut and hostile input to the hive parser and the .reg importer: a
// clear answer every time, never a crash or a hang.

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "common/platform/posix/hive.h"
#include "common/platform/regfile.h"

namespace dravolo {
namespace {

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(DRAVOLO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::span<const std::uint8_t> Span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// Flips, inserts and deletes bytes, favouring the characters the formats
// give meaning to.
std::string Mutate(std::string s, std::mt19937& rng) {
    static constexpr std::string_view kSpecial = "\\\"[]=,:@#;\n\r-x0f(";
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits && !s.empty(); ++e) {
        const std::size_t at = rng() % s.size();
        const char c = rng() % 2 ? kSpecial[rng() % kSpecial.size()] : static_cast<char>(rng());
        switch (rng() % 3) {
        case 0: s[at] = c; break;
        case 1: s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), c); break;
        default: s.erase(at, 1 + rng() % 16); break;
        }
    }
    return s;
}

TEST(HiveRobustness, CutAndMutatedHivesParseOrAreRefused) {
    const std::string wine = ReadData("wine_user.reg");
    ASSERT_FALSE(wine.empty());
    // Every prefix: a hive cut short by a crash or a full disk.
    for (std::size_t n = 0; n <= wine.size(); n += 13) {
        auto h = hive::Hive::Parse(std::string_view(wine).substr(0, n));
        if (h) (void)h->Serialize();
    }
    std::mt19937 rng(12345);
    int refused = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::string text = Mutate(wine, rng);
        auto h = hive::Hive::Parse(text);
        if (!h) {
            ++refused;
            continue;
        }
        // Whatever we read must write out and read back to the same text.
        const std::string out = h->Serialize();
        auto again = hive::Hive::Parse(out);
        ASSERT_TRUE(again.has_value());
        if (h->writable()) {
            EXPECT_EQ(again->Serialize(), out);
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(HiveRobustness, OversizedLinesAndDeepPaths) {
    std::string text = "WINE REGISTRY Version 2\n\n[Huge] 1\n\"big\"=hex:";
    for (int i = 0; i < 200000; ++i) text += "ab,";
    text += "cd\n\"s\"=\"" + std::string(1 << 20, 'x') + "\"\n\n[";
    for (int i = 0; i < 2000; ++i) text += "k\\\\";
    text += "leaf] 1\n\"n\"=dword:ffffffff\n\"t\"=dword:1ffffffff\n\"h\"=hex(ffffffff):01\n";
    auto h = hive::Hive::Parse(text);
    ASSERT_TRUE(h.has_value());
    EXPECT_EQ(h->Find(u"Huge")->FindValue(u"big")->data.size(), 200001u);
    std::u16string deep;
    for (int i = 0; i < 2000; ++i) deep += u"k\\";
    EXPECT_NE(h->Find(deep + u"leaf"), nullptr);
    EXPECT_EQ(h->Serialize(), text.substr(0, text.find("\"t\"=")) + "\"t\"=dword:1ffffffff\n\"h\"=hex(ffffffff):01\n");
}

// Takes every batch and stores nothing: the importer's parser is under test
// here, not the hive files (and thousands of fsyncs would make it slow).
class NullRegistry final : public Registry {
public:
    bool KeyExists(RegRoot, std::string_view) override { return false; }
    std::optional<RegValue> QueryValue(RegRoot, std::string_view, std::string_view) override { return std::nullopt; }
    std::optional<std::vector<RegValue>> EnumValues(RegRoot, std::string_view) override { return std::nullopt; }
    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot, std::string_view) override { return std::nullopt; }
    bool CommitBatch(const RegBatch& batch, Error* /*error*/) override {
        changes += batch.changes().size();
        return true;
    }
    std::size_t changes = 0;
};

TEST(ImportRobustness, MutatedAndCutRegFilesNeverCrash) {
    NullRegistry nullRegistry;
    Registry* reg = &nullRegistry;
    const std::string wine = ReadData("wine_export.reg");
    const std::string ansi =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\R]\r\n\"a\"=\"x\\\"y\"\r\n\"b\"=dword:00000001\r\n"
        "\"c\"=hex(7):61,00,00,\\\r\n  62,00\r\n[-HKEY_CURRENT_USER\\Software\\R\\S]\r\n\"d\"=-\r\n";
    for (std::size_t n = 0; n <= wine.size(); n += 5) (void)ImportRegistryData(*reg, Span(wine.substr(0, n)));
    std::mt19937 rng(777);
    int ok = 0, bad = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::string file = Mutate(i % 2 ? wine : ansi, rng);
        const RegImportResult r = ImportRegistryData(*reg, Span(file));
        ASSERT_TRUE(r == RegImportResult::Ok || r == RegImportResult::BadFormat) << static_cast<int>(r);
        (r == RegImportResult::Ok ? ok : bad)++;
    }
    EXPECT_GT(ok, 0);
    EXPECT_GT(bad, 0);
    // Random bytes, with and without a BOM; odd lengths.
    for (int i = 0; i < 300; ++i) {
        std::string junk(rng() % 512, '\0');
        for (char& c : junk) c = static_cast<char>(rng());
        if (i % 2) junk.insert(0, "\xFF\xFE");
        EXPECT_EQ(ImportRegistryData(*reg, Span(junk)), RegImportResult::BadFormat);
    }
    EXPECT_GT(nullRegistry.changes, 0u);
}

}  // namespace
}  // namespace dravolo
