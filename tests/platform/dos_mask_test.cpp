#include <gtest/gtest.h>

#include "common/platform/winfs.h"

namespace dravolo {
namespace {

TEST(DosMask, StarAndStarDotStarMatchEveryName) {
    for (const char* name : {"a", "a.b", "noext", ".hidden", "x.y.z", "trailing."}) {
        EXPECT_TRUE(MatchesDosMask(name, "*")) << name;
        EXPECT_TRUE(MatchesDosMask(name, "*.*")) << name;
    }
}

TEST(DosMask, TrailingQuestionMarkMatchesShorterExtension) {
    EXPECT_TRUE(MatchesDosMask("x.mc", "*.mc?"));
    EXPECT_TRUE(MatchesDosMask("x.mcr", "*.mc?"));
    EXPECT_TRUE(MatchesDosMask("X.MCD", "*.mc?"));
    EXPECT_FALSE(MatchesDosMask("x.mcrr", "*.mc?"));
    EXPECT_FALSE(MatchesDosMask("x.m", "*.mc?"));
    EXPECT_TRUE(MatchesDosMask("a", "a?"));
    EXPECT_TRUE(MatchesDosMask("ab", "a??"));
    EXPECT_FALSE(MatchesDosMask("abcd", "a??"));
}

TEST(DosMask, QuestionMarkNeverEatsTheDot) {
    EXPECT_FALSE(MatchesDosMask("a.c", "a?c"));
    EXPECT_TRUE(MatchesDosMask("abc", "a?c"));
    EXPECT_TRUE(MatchesDosMask("a.c", "a?.c"));
}

TEST(DosMask, ExtensionMasksAnchorOnTheLastDot) {
    EXPECT_TRUE(MatchesDosMask("GPUPETEOPENGL.DLL", "gpu*.dll"));
    EXPECT_TRUE(MatchesDosMask("a.b.mcr", "*.mcr"));
    EXPECT_FALSE(MatchesDosMask("a.mcr.bak", "*.mcr"));
    EXPECT_FALSE(MatchesDosMask("mcr", "*.mcr"));
    EXPECT_FALSE(MatchesDosMask("a.mcrx", "*.mcr"));
    EXPECT_TRUE(MatchesDosMask("noext", "*."));
    EXPECT_FALSE(MatchesDosMask("has.ext", "*."));
}

TEST(DosMask, LiteralsCompareWithoutCaseIncludingAnsiLetters) {
    EXPECT_TRUE(MatchesDosMask("Crash.SET", "crash.set"));
    EXPECT_TRUE(MatchesDosMask("\xC9t\xE9.set", "\xE9t\xC9.SET"));  // Été / étÉ
    EXPECT_FALSE(MatchesDosMask("crash.se", "crash.set"));
    EXPECT_FALSE(MatchesDosMask("anything", ""));
}

TEST(DosMask, ManyStarsStayFast) {
    const std::string name(300, 'a');
    EXPECT_FALSE(MatchesDosMask(name, "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace dravolo

namespace dravolo {
namespace {

// "*.ext" takes a shortcut; it must agree with the full rules.
TEST(DosMask, SuffixMasksAgreeWithTheFullRules) {
    EXPECT_TRUE(MatchesDosMask("Crash.set", "*.set"));
    EXPECT_TRUE(MatchesDosMask("CRASH.SET", "*.set"));
    EXPECT_TRUE(MatchesDosMask(".set", "*.set"));
    EXPECT_FALSE(MatchesDosMask("Crash.settings", "*.set"));
    EXPECT_FALSE(MatchesDosMask("Crash.set.bak", "*.set"));
    EXPECT_FALSE(MatchesDosMask("Crashset", "*.set"));
    EXPECT_TRUE(MatchesDosMask("a.b.set", "*.set"));
    EXPECT_TRUE(MatchesDosMask("disc.tar.gz", "*.tar.gz"));
}

}  // namespace
}  // namespace dravolo
