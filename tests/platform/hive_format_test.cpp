// Wine's hive text: what we read, and that what we write is what wineserver
// writes, down to the byte.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/platform/posix/hive.h"
#include "common/platform/posix/hive_text.h"

namespace dravolo::hive {
namespace {

constexpr std::uint64_t kNow = 0x1dd868bce22de12ull;  // a Wine-written #time

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(DRAVOLO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

Bytes Wide(std::u16string_view s) {
    Bytes out;
    for (char16_t c : s) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return out;
}

Hive MustParse(std::string_view text) {
    auto h = Hive::Parse(text);
    EXPECT_TRUE(h.has_value());
    return h ? std::move(*h) : Hive{};
}

TEST(HiveWineFile, UntouchedRewriteIsByteIdentical) {
    const std::string text = ReadData("wine_user.reg");
    ASSERT_FALSE(text.empty());
    Hive h = MustParse(text);
    EXPECT_TRUE(h.writable());
    EXPECT_EQ(h.arch(), "win64");
    EXPECT_EQ(h.Serialize(), text);
}

TEST(HiveWineFile, ReadsEveryTypeWineWrote) {
    Hive h = MustParse(ReadData("wine_user.reg"));
    const Key* k = h.Find(u"software\\EPSXE\\Config");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->name, u"config");

    EXPECT_EQ(k->FindValue(u"videoplugin")->data, Wide(std::u16string(u"gpu.dll") + u'\0'));
    EXPECT_EQ(k->FindValue(u"")->data, Wide(std::u16string(u"default") + u'\0'));
    EXPECT_EQ(k->FindValue(u"CPUOverclocking")->data, (Bytes{0x2b, 0x1a, 0, 0}));
    EXPECT_EQ(k->FindValue(u"Home")->type, 2u);
    EXPECT_EQ(k->FindValue(u"Home")->data, Wide(std::u16string(u"%USERPROFILE%\\epsxe") + u'\0'));
    const std::u16string multi = std::u16string(u"C:\\a") + u'\0' + u"D:\\b" + u'\0' + u'\0';
    EXPECT_EQ(k->FindValue(u"Paths")->type, 7u);
    EXPECT_EQ(k->FindValue(u"Paths")->data, Wide(multi));
    EXPECT_EQ(k->FindValue(u"Name")->data, Wide(std::u16string(u"Caf\u00e9 \u20ac \"q\" back\\slash") + u'\0'));
    const Value* bios = k->FindValue(u"Bios");
    ASSERT_EQ(bios->data.size(), 48u);  // wrapped over three lines
    EXPECT_EQ(bios->data.back(), 0x30);
    EXPECT_EQ(h.Find(u"Software\\epsxe\\config\\sub")->FindValue(u"Big")->type, 11u);

    // Escaped brackets and a surrogate pair in key names.
    EXPECT_NE(h.Find(u"Software\\sorttest\\[k]"), nullptr);
    EXPECT_NE(h.Find(u"Software\\sorttest\\a]b"), nullptr);
    EXPECT_NE(h.Find(u"Software\\sorttest\\\u00e9K"), nullptr);
    EXPECT_NE(h.Find(u"Control Panel\\International\\\xd83c\xdf0e\xd83c\xdf0f\xd83c\xdf0d"), nullptr);
}

TEST(HiveWineFile, ChangingOneValueKeepsEveryOtherLine) {
    const std::string text = ReadData("wine_user.reg");
    Hive h = MustParse(text);
    ASSERT_TRUE(h.SetValue(u"Software\\epsxe\\config", u"CPUOverclocking", 4, Bytes{5, 0, 0, 0}, kNow + 10'000'000));
    const auto before = Lines(text);
    const auto after = Lines(h.Serialize());
    ASSERT_EQ(before.size(), after.size());
    std::vector<std::string> differing;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) differing.push_back(after[i]);
    // The value, and its key's timestamp as Wine would stamp it.
    EXPECT_EQ(differing, (std::vector<std::string>{"[Software\\\\epsxe\\\\config] 1796676291", "#time=1dd868bcebb7492",
                                                   "\"CPUOverclocking\"=dword:00000005"}));
}

TEST(HiveFormat, ValuesAreWrittenAsWineWritesThem) {
    Value v{u"Bios", 3, {}};
    for (int i = 1; i <= 48; ++i) v.data.push_back(static_cast<std::uint8_t>(i));
    EXPECT_EQ(FormatValue(v),
              "\"Bios\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
              "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\\\n"
              "  30\n");
    EXPECT_EQ(FormatValue({u"", 0, {}}), "@=hex(0):\n");
    EXPECT_EQ(FormatValue({u"q\"x", 4, {1, 0, 0, 0x80}}), "\"q\\\"x\"=dword:80000001\n");
    // Wrong sizes fall back to hex with the real type, so nothing is lost.
    EXPECT_EQ(FormatValue({u"d", 4, {1, 2}}), "\"d\"=hex(4):01,02\n");
    EXPECT_EQ(FormatValue({u"s", 1, Wide(u"ab")}), "\"s\"=hex(1):61,00,62,00\n");
    EXPECT_EQ(FormatValue({u"s", 1, {}}), "\"s\"=hex(1):\n");
    // Control characters: C escapes, short octal, padded octal before a digit.
    EXPECT_EQ(FormatValue({u"c", 1,
                           Wide(std::u16string(u"a\tb\x01"
                                               u"c\x01"
                                               u"7") +
                                u'\0')}),
              "\"c\"=\"a\\tb\\1c\\0017\"\n");
    // Non-ASCII: short \x, padded before a hex digit.
    EXPECT_EQ(FormatValue({u"\u00e9", 1, Wide(std::u16string(u"\u00e9u\u20acb") + u'\0')}),
              "\"\\xe9\"=\"\\xe9u\\x20acb\"\n");
}

TEST(HiveFormat, EveryTypeSurvivesWriteAndRead) {
    Hive h = Hive::CreateEmpty("REGISTRY\\\\Machine", "win32");
    const std::vector<Value> values = {
        {u"", 1, Wide(std::u16string(u"default") + u'\0')},
        {u"sz", 1, Wide(std::u16string(u"a\\b\"c\n\u20ac") + u'\0')},
        {u"expand", 2, Wide(std::u16string(u"%TEMP%") + u'\0')},
        {u"bin", 3, {0, 1, 0xff}},
        {u"dw", 4, {0xcd, 0xab, 0, 0}},
        {u"be", 5, {0, 0, 0xab, 0xcd}},
        {u"link", 6, Wide(u"\\Registry\\Machine")},
        {u"multi", 7, Wide(std::u16string(u"x") + u'\0' + u"7" + u'\0' + u'\0')},
        {u"q", 11, {1, 2, 3, 4, 5, 6, 7, 8}},
        {u"none", 0, {}},
        {u"odd", 1, {0x41}},
        {u"t42", 0x42, {9}},
    };
    for (const Value& v : values) ASSERT_TRUE(h.SetValue(u"A\\B", v.name, v.type, v.data, kNow));
    Hive back = MustParse(h.Serialize());
    const Key* k = back.Find(u"a\\b");
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(k->values.size(), values.size());
    for (const Value& v : values) {
        const Value* got = k->FindValue(v.name);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->type, v.type);
        EXPECT_EQ(got->data, v.data);
    }
    EXPECT_EQ(back.Serialize(), h.Serialize());
}

TEST(HiveFormat, OrdersNamesAsWineDoes) {
    // Wine compares lower-cased: '[', '^' and '_' sort before letters.
    Hive h;
    for (const char16_t* name : {u"\u00e9u", u"zu", u"Ea", u"Au", u"_u", u"^u", u"[x"})
        h.SetValue(u"K", name, 4, {1, 0, 0, 0}, kNow);
    std::vector<std::u16string> names;
    for (const Value& v : h.Find(u"K")->values) names.push_back(v.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"[x", u"^u", u"_u", u"Au", u"Ea", u"zu", u"\u00e9u"}));
    EXPECT_LT(CompareNames(u"ab", u"ABC"), 0);
    EXPECT_TRUE(NamesEqual(u"\u00c9T\u00c9", u"\u00e9t\u00e9"));
}

TEST(HiveFormat, WritesKeysByWinesRules) {
    Hive h = Hive::CreateEmpty("REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000", "win32");
    h.SetValue(u"Software\\Deep\\Leaf", u"v", 4, {1, 0, 0, 0}, kNow);
    h.CreateKey(u"Software\\Empty", kNow);
    const std::string text = h.Serialize();
    EXPECT_EQ(text,
              "WINE REGISTRY Version 2\n"
              ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
              "\n#arch=win32\n"
              "\n[Software\\\\Deep\\\\Leaf] 1796676290\n#time=1dd868bce22de12\n\"v\"=dword:00000001\n"
              "\n[Software\\\\Empty] 1796676290\n#time=1dd868bce22de12\n");
    // Deleting the only subkey leaves an empty key, which Wine writes.
    h.DeleteTree(u"software\\deep\\leaf", kNow);
    EXPECT_NE(h.Serialize().find("[Software\\\\Deep] "), std::string::npos);
    EXPECT_FALSE(h.DeleteTree(u"", kNow));
    EXPECT_FALSE(h.DeleteTree(u"Nope\\x", kNow));
}

TEST(HiveFormat, KeepsLinesItDoesNotUnderstand) {
    const std::string text =
        "WINE REGISTRY Version 2\r\n"
        ";; All keys relative to REGISTRY\\\\Machine\r\n"
        "#arch=win32\r\n"
        "\r\n[System\\\\CurrentControlSet] 1700000000\r\n"
        "#time=1d9f0a1b2c3d4e5\r\n"
        "#link\r\n"
        "\"SymbolicLinkValue\"=hex(6):5c,00\r\n"
        "\"broken\"=nonsense\r\n"
        "; a comment\r\n"
        "\r\n"
        "[Zother] \r\n"
        "@=\"x\"\r\n"
        "\r\n";
    Hive h = MustParse(text);
    EXPECT_EQ(h.Serialize(), text);
    const Key* k = h.Find(u"System\\CurrentControlSet");
    EXPECT_EQ(k->extraLines, (std::vector<std::string>{"#link", "\"broken\"=nonsense", "; a comment"}));
    EXPECT_EQ(k->modified, 0x1d9f0a1b2c3d4e5ull);

    h.SetValue(u"System\\CurrentControlSet", u"new", 4, {2, 0, 0, 0}, kNow);
    const std::string out = h.Serialize();
    EXPECT_NE(out.find("#time=1dd868bce22de12\n#link\n\"broken\"=nonsense\n; a comment\n"
                       "\"new\"=dword:00000002\n\"SymbolicLinkValue\"=hex(6):5c,00\n"),
              std::string::npos);
    EXPECT_NE(out.find("\r\n[Zother] \r\n@=\"x\"\r\n\r\n"), std::string::npos);  // untouched key as read
}

TEST(HiveFormat, RefusesWhatIsNoHive) {
    EXPECT_FALSE(Hive::Parse("").has_value());
    EXPECT_FALSE(Hive::Parse("WINE REGISTRY Version 1\n[A] 1\n").has_value());
    EXPECT_FALSE(Hive::Parse("REGEDIT4\r\n").has_value());
    // A key line without its ']' is skipped for reading, but the file must not
    // be rewritten: its values would move to the key before.
    Hive h = MustParse("WINE REGISTRY Version 2\n[A] 1\n\"a\"=\"1\"\n[B\\\\x 2\n\"b\"=\"2\"\n");
    EXPECT_FALSE(h.writable());
    EXPECT_NE(h.Find(u"A"), nullptr);
    EXPECT_EQ(h.Find(u"A")->values.size(), 1u);
}

TEST(HiveFormat, RepeatedKeysAndValuesMergeAsInWine) {
    Hive h = MustParse("WINE REGISTRY Version 2\n\n[A] 1\n\"v\"=\"1\"\n\n[B] 1\n\n[a] 2\n\"V\"=\"2\"\n\"w\"=\"3\"\n");
    const Key* a = h.Find(u"A");
    ASSERT_EQ(a->values.size(), 2u);
    EXPECT_EQ(a->FindValue(u"v")->data, Wide(std::u16string(u"2") + u'\0'));
    const std::string out = h.Serialize();
    EXPECT_EQ(out.find("[a]"), std::string::npos);
    Hive back = MustParse(out);
    EXPECT_EQ(back.Find(u"A")->values.size(), 2u);
}

TEST(HiveText, EscapesReadBackExactly) {
    const std::u16string all = [] {
        std::u16string s;
        for (char16_t c = 0; c < 0x200; ++c) s += c;
        s += u"\xd83c\xdf0e\xffff"
             u"0";
        return s;
    }();
    const std::string escaped = EscapeString(all, "\"");
    for (char c : escaped) EXPECT_TRUE(c >= 32 && c <= 127) << static_cast<int>(c);  // DEL stays raw, as in Wine
    std::string quoted = escaped + "\"";
    std::size_t pos = 0;
    auto back = UnescapeString(quoted, pos, '"');
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
    EXPECT_EQ(pos, quoted.size());

    // Raw UTF-8 from a hand edit is read as UTF-8; a stray high byte as Latin-1.
    std::string raw = "caf\xc3\xa9 \xe9\"";
    pos = 0;
    EXPECT_EQ(UnescapeString(raw, pos, '"'), std::u16string(u"caf\u00e9 \u00e9"));
    pos = 0;
    EXPECT_FALSE(UnescapeString("no end", pos, '"').has_value());
    pos = 0;
    EXPECT_FALSE(UnescapeString("ends in \\", pos, '"').has_value());
}

}  // namespace
}  // namespace dravolo::hive
