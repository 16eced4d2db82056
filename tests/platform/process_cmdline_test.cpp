#include <gtest/gtest.h>

#include "common/platform/process.h"

namespace dravolo {
namespace {

using Args = std::vector<std::string>;

TEST(ProcessCmdline, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(SplitCommandLine("  -nogui\t-loadbin  \"c:\\my games\\ff7.bin\" "),
              (Args{"-nogui", "-loadbin", "c:\\my games\\ff7.bin"}));
    EXPECT_EQ(SplitCommandLine("a\"b c\"d"), (Args{"ab cd"}));
    EXPECT_EQ(SplitCommandLine("\"\" x"), (Args{"", "x"}));
    EXPECT_EQ(SplitCommandLine("\"unterminated arg"), (Args{"unterminated arg"}));
    EXPECT_TRUE(SplitCommandLine(" \t ").empty());
}

TEST(ProcessCmdline, BackslashesCountOnlyBeforeAQuote) {
    EXPECT_EQ(SplitCommandLine("c:\\dir\\ \\\\server\\share"), (Args{"c:\\dir\\", "\\\\server\\share"}));
    EXPECT_EQ(SplitCommandLine("a\\\\\"b c\""), (Args{"a\\b c"}));       // 2n: n, quote opens
    EXPECT_EQ(SplitCommandLine("a\\\\\\\"b c"), (Args{"a\\\"b", "c"}));  // 2n+1: n and a literal quote
    EXPECT_EQ(SplitCommandLine("\"c:\\path\\\\\" next"), (Args{"c:\\path\\", "next"}));
}

TEST(ProcessCmdline, DoubledQuoteInsideQuotesIsLiteralAndEndsTheQuotedPart) {
    EXPECT_EQ(SplitCommandLine("\"a \"\"b\"\" c\""), (Args{"a \"b", "c"}));
    EXPECT_EQ(SplitCommandLine("\"a\"\"b\""), (Args{"a\"b"}));
}

TEST(ProcessCmdline, QuotedArgumentsComeBackUnchanged) {
    const Args samples{"plain",          "",       "with space", "tab\there", "quote\"in", "trailing\\",
                       "c:\\dir with\\", "\\\\\"", "a\\\\b",     "\"",        "\\"};
    std::string line;
    for (const auto& a : samples) line += QuoteArgument(a) + " ";
    EXPECT_EQ(SplitCommandLine(line), samples);
    EXPECT_EQ(QuoteArgument("plain"), "plain");
    EXPECT_EQ(QuoteArgument("c:\\dir with\\"), "\"c:\\dir with\\\\\"");
}

}  // namespace
}  // namespace dravolo
