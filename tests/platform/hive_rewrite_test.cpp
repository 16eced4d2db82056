// Rewriting a hive must never change what the next read finds: keys that move
// because we write them in Wine's order, keys we rewrite beside lines we do not
// understand, and files that end without a line feed or in the middle of a value.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/platform/posix/hive.h"

namespace dravolo::hive {
namespace {

constexpr std::uint64_t kNow = 0x1dd868bce22de12ull;

std::string ReadReproducer(const std::string& name) {
    std::ifstream in(std::string(DRAVOLO_TEST_DATA_DIR) + "/fuzz/hive/" + name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

Bytes Wide(std::u16string_view s) {
    Bytes out;
    for (char16_t c : s) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    out.insert(out.end(), {0, 0});
    return out;
}

Hive MustParse(std::string_view text) {
    auto h = Hive::Parse(text);
    EXPECT_TRUE(h.has_value());
    return h ? std::move(*h) : Hive{};
}

std::vector<std::u16string> ValueNames(const Hive& h, std::u16string_view path) {
    std::vector<std::u16string> names;
    if (const Key* k = h.Find(path))
        for (const Value& v : k->values) names.push_back(v.name);
    return names;
}

TEST(HiveRewrite, AKeyMovedBeforeALastKeyWithoutLineFeedStaysAKey) {
    // Beta comes before Alpha in the file, which ends without a line feed and
    // has no blank lines: written in Wine's order, Alpha's last line is no
    // longer the last line of the file.
    const std::string text = ReadReproducer("glued-key-no-final-lf.reg");
    ASSERT_FALSE(text.empty());
    ASSERT_NE(text.back(), '\n');
    Hive h = MustParse(text);
    ASSERT_TRUE(h.SetValue(u"Software\\Dravolo", u"CurrentView", 4, {1, 0, 0, 0}, kNow));
    const std::string out = h.SerializeAndSettle();
    EXPECT_NE(out.find("\"a\"=\"alpha value\"\n[Software\\\\Beta] 1700000000\n"), std::string::npos) << out;

    Hive back = MustParse(out);
    EXPECT_EQ(ValueNames(back, u"Software\\Alpha"), std::vector<std::u16string>{u"a"});
    EXPECT_EQ(ValueNames(back, u"Software\\Beta"), std::vector<std::u16string>{u"b"});
    ASSERT_NE(back.Find(u"Software\\Beta"), nullptr);
    ASSERT_NE(back.Find(u"Software\\Beta")->FindValue(u"b"), nullptr);
    EXPECT_EQ(back.Find(u"Software\\Beta")->FindValue(u"b")->data, Wide(u"beta value"));
    // Settled, the hive writes what a fresh read of its output writes.
    EXPECT_EQ(h.Serialize(), out);
    EXPECT_EQ(back.Serialize(), out);
}

TEST(HiveRewrite, AnUntouchedFileWithoutFinalLineFeedStaysByteIdentical) {
    const std::string text = "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=\"1\"\n\n[B] 1\n\"y\"=\"2\"";
    EXPECT_EQ(MustParse(text).Serialize(), text);
}

TEST(HiveRewrite, AHexValueCutShortAtTheEndSwallowsNothingWhenRewritten) {
    // The file ends in a wrapped hex value whose next line never came: Wine
    // skips that value, and so do we, whatever is written after it later.
    const std::string text = ReadReproducer("hex-continuation-at-end.reg");
    ASSERT_FALSE(text.empty());
    Hive h = MustParse(text);
    EXPECT_EQ(ValueNames(h, u"Software\\Beta"), std::vector<std::u16string>{u"b"});

    // Its key rewritten: a value follows the cut line.
    ASSERT_TRUE(h.SetValue(u"Software\\Beta", u"c", 4, {7, 0, 0, 0}, kNow));
    const std::string once = h.SerializeAndSettle();
    Hive back = MustParse(once);
    EXPECT_EQ(ValueNames(back, u"Software\\Beta"), (std::vector<std::u16string>{u"b", u"c"})) << once;
    ASSERT_NE(back.Find(u"Software\\Beta"), nullptr);
    EXPECT_EQ(back.Find(u"Software\\Beta")->extraLines, h.Find(u"Software\\Beta")->extraLines);
    // Rewritten again, the text does not grow.
    ASSERT_TRUE(back.SetValue(u"Software\\Beta", u"c", 4, {8, 0, 0, 0}, kNow));
    const std::string twice = back.Serialize();
    EXPECT_EQ(twice.size(), once.size());
    EXPECT_EQ(ValueNames(MustParse(twice), u"Software\\Beta"), (std::vector<std::u16string>{u"b", u"c"}));

    // Untouched but moved: a key written after it keeps its own line.
    Hive moved = MustParse("WINE REGISTRY Version 2\n[B] 1\n\"b\"=\"1\"\n[A] 1\n\"a\"=hex:01,\\");
    const std::string out = moved.Serialize();
    Hive movedBack = MustParse(out);
    EXPECT_EQ(ValueNames(movedBack, u"A"), std::vector<std::u16string>{});
    EXPECT_EQ(ValueNames(movedBack, u"B"), std::vector<std::u16string>{u"b"}) << out;
}

TEST(HiveRewrite, AJunkLineKeepsEveryCarriageReturn) {
    const std::string text = ReadReproducer("junk-line-several-crs.reg");
    ASSERT_NE(text.find("not a value\r\r\r\n"), std::string::npos);
    Hive h = MustParse(text);
    const std::vector<std::string> junk = h.Find(u"Software\\Junk")->extraLines;
    std::string out = text;
    for (std::uint8_t round = 2; round < 5; ++round) {
        Hive again = MustParse(out);
        ASSERT_TRUE(again.SetValue(u"Software\\Junk", u"v", 4, {round, 0, 0, 0}, kNow));
        out = again.Serialize();
        EXPECT_NE(out.find("\nnot a value\r\r\r\n"), std::string::npos) << round;
        Hive back = MustParse(out);
        ASSERT_NE(back.Find(u"Software\\Junk"), nullptr);
        EXPECT_EQ(back.Find(u"Software\\Junk")->extraLines, junk);
    }
}

}  // namespace
}  // namespace dravolo::hive
