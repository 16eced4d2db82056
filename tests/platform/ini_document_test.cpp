#include <gtest/gtest.h>

#include <random>

#include "common/platform/profile_ini.h"

namespace dravolo {
namespace {

std::string Write(std::string_view content, std::string_view section, std::string_view key, std::string_view value) {
    auto doc = IniDocument::Parse(content);
    doc.Set(section, key, value);
    return doc.Serialize();
}

TEST(IniRead, SectionsAndKeysWithoutCaseValuesTrimmedAndUnquoted) {
    const auto doc = IniDocument::Parse(
        "; comment=not a key\r\n"
        "[GPU]\r\n"
        "  Resolution =  640x480 \t\r\n"
        "Title=\"  spaced  \"\r\n"
        "Single='x'\r\n"
        "Half=\"open\r\n"
        "Empty=\r\n"
        "NoEquals\r\n"
        "[ Other ]\n"
        "Resolution=1\n");
    EXPECT_EQ(doc.Get("gpu", "RESOLUTION"), "640x480");
    EXPECT_EQ(doc.Get("GPU", "title"), "  spaced  ");
    EXPECT_EQ(doc.Get("GPU", "Single"), "x");
    EXPECT_EQ(doc.Get("GPU", "Half"), "\"open");
    EXPECT_EQ(doc.Get("GPU", "Empty"), "");
    EXPECT_EQ(doc.Get("GPU", "NoEquals"), std::nullopt);
    EXPECT_EQ(doc.Get("GPU", "; comment"), std::nullopt);
    EXPECT_EQ(doc.Get("other", "resolution"), "1");
    EXPECT_EQ(doc.Get("Missing", "Resolution"), std::nullopt);
    EXPECT_EQ(doc.Sections(), (std::vector<std::string>{"GPU", "Other"}));
    EXPECT_EQ(doc.Keys("gpu"), (std::vector<std::string>{"Resolution", "Title", "Single", "Half", "Empty"}));
}

TEST(IniRead, FirstOfDuplicateSectionsAndKeysWins) {
    const auto doc = IniDocument::Parse("[a]\nk=1\nk=2\n[A]\nk=3\nj=4\n");
    EXPECT_EQ(doc.Get("a", "k"), "1");
    EXPECT_EQ(doc.Get("a", "j"), std::nullopt);
    EXPECT_EQ(doc.Sections(), (std::vector<std::string>{"a"}));
}

TEST(IniWrite, ReplacingAValueKeepsEveryOtherByte) {
    const std::string in = "; keep me\n[Sec]\r\nA = 1\r\n  weird   line\t\r\nB=2\n\n[Next]\nA=9";
    EXPECT_EQ(Write(in, "sec", "a", "5"), "; keep me\n[Sec]\r\nA=5\r\n  weird   line\t\r\nB=2\n\n[Next]\nA=9");
    // An unchanged value leaves the line's spacing alone.
    EXPECT_EQ(Write(in, "Sec", "A", "1"), in);
}

TEST(IniWrite, NewKeyGoesAfterTheLastLineOfItsSection) {
    EXPECT_EQ(Write("[Sec]\r\nA=1\r\n\r\n[Next]\r\nX=0\r\n", "SEC", "New", "v"),
              "[Sec]\r\nA=1\r\nNew=v\r\n\r\n[Next]\r\nX=0\r\n");
    EXPECT_EQ(Write("[Sec]\r\n[Next]\r\n", "Sec", "K", "v"), "[Sec]\r\nK=v\r\n[Next]\r\n");
    EXPECT_EQ(Write("[Sec]\r\nA=1", "Sec", "K", "v"), "[Sec]\r\nA=1\r\nK=v\r\n");
}

TEST(IniWrite, NewSectionIsAppendedAtTheEnd) {
    EXPECT_EQ(Write("", "Sec", "K", "v"), "[Sec]\r\nK=v\r\n");
    EXPECT_EQ(Write("[A]\r\nx=1\r\n", "B", "K", "v"), "[A]\r\nx=1\r\n[B]\r\nK=v\r\n");
    EXPECT_EQ(Write("[A]\nx=1", "B", "K", "v"), "[A]\nx=1\r\n[B]\r\nK=v\r\n");
}

TEST(IniWrite, DeleteKeyAndSection) {
    auto doc = IniDocument::Parse("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\n");
    doc.DeleteKey("a", "X");
    EXPECT_EQ(doc.Serialize(), "[A]\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\n");
    doc.DeleteSection("b");
    EXPECT_EQ(doc.Serialize(), "[A]\r\ny=2\r\n[C]\r\n");
    doc.DeleteKey("missing", "x");
    doc.DeleteSection("missing");
    EXPECT_EQ(doc.Serialize(), "[A]\r\ny=2\r\n[C]\r\n");
}

TEST(IniRobust, AnyInputRoundTripsAndStaysUsable) {
    std::mt19937 rng(1234);
    using namespace std::string_literals;
    const std::string alphabet = "[]=;\"' \t\r\nabAB\xE9\0"s;  // NUL included
    for (int round = 0; round < 400; ++round) {
        std::string text(rng() % 200, '\0');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        const auto doc = IniDocument::Parse(text);
        ASSERT_EQ(doc.Serialize(), text);
        auto edited = doc;
        edited.Set("ab", "a", "v");
        ASSERT_EQ(edited.Get("AB", "A"), "v") << round;
        edited.DeleteSection("ab");
        ASSERT_EQ(edited.Get("ab", "a"), std::nullopt);
        // Every prefix of the file parses too.
        for (std::size_t cut = 0; cut < text.size(); cut += 17)
            ASSERT_EQ(IniDocument::Parse(text.substr(0, cut)).Serialize(), text.substr(0, cut));
    }
}

TEST(IniRobust, OversizedLinesAndManyLines) {
    std::string big = "[S]\r\nK=" + std::string(4 << 20, 'x') + "\r\n";
    for (int i = 0; i < 20000; ++i) big += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    auto doc = IniDocument::Parse(big);
    EXPECT_EQ(doc.Get("s", "K")->size(), std::size_t{4 << 20});
    EXPECT_EQ(doc.Get("s", "k19999"), "19999");
    doc.Set("S", "k19999", "x");
    EXPECT_EQ(doc.Serialize().size(), big.size() - 4);
}

}  // namespace
}  // namespace dravolo
