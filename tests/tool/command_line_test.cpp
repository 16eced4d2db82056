#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "tool/core/command_line.h"
#include "tool/core/config_name.h"

using namespace dravolo::tool;

namespace {

ToolStart Start(const std::vector<std::string>& args) { return DecideStart(ParseFrameworkCommandLine(args)); }

}  // namespace

TEST(ToolCommandLine, PrintToFieldsAsTheFrameworkFillsThem) {
    auto line = ParseFrameworkCommandLine({"/pt", "Game", "#5;3", "driver", "port"});
    EXPECT_EQ(line.fileName, "Game");
    EXPECT_EQ(line.printerName, "#5;3");
    // Without the print-to switch the second word is not the mode word.
    line = ParseFrameworkCommandLine({"Game", "#5;3"});
    EXPECT_EQ(line.fileName, "Game");
    EXPECT_EQ(line.printerName, "");
    // The switch may follow the name; a mode word before it is lost.
    line = ParseFrameworkCommandLine({"Game", "/pt", "@0"});
    EXPECT_EQ(line.printerName, "@0");
    line = ParseFrameworkCommandLine({"Game", "@0", "/pt"});
    EXPECT_EQ(line.printerName, "");
    // "/p" is a print request, not print-to.
    line = ParseFrameworkCommandLine({"/p", "Game", "@0"});
    EXPECT_EQ(line.printerName, "");
}

TEST(ToolCommandLine, ModesAndSilentExits) {
    EXPECT_EQ(Start({}).mode, StartMode::Exit);
    EXPECT_EQ(Start({"Other"}).mode, StartMode::Exit);
    EXPECT_EQ(Start({"/pt", "Game", "?1"}).mode, StartMode::Exit);
    EXPECT_EQ(Start({"/pt", "Game", "#"}).mode, StartMode::Exit);  // no handle number

    ToolStart start = Start({"XXX"});
    EXPECT_EQ(start.mode, StartMode::Edit);
    EXPECT_EQ(start.name, "PSEmu Pro");
    EXPECT_EQ(start.editWord, "0");
    // "XXX" with a mode word is an ordinary configuration.
    start = Start({"/pt", "XXX", "@0"});
    EXPECT_EQ(start.name, "XXX");

    start = Start({"/pt", "Game", "#17;1023"});
    EXPECT_EQ(start.mode, StartMode::Report);
    EXPECT_EQ(start.handle, 17);
    EXPECT_EQ(start.flags, 1023u);
    start = Start({"/pt", "Game", "#9"});
    EXPECT_EQ(start.mode, StartMode::Report);
    EXPECT_EQ(start.handle, 9);
    EXPECT_EQ(start.flags, 0u);

    start = Start({"/pt", "Game", "@4660!7"});
    EXPECT_EQ(start.mode, StartMode::Edit);
    EXPECT_EQ(start.callerWindow, 4660u);
    EXPECT_EQ(start.action, 7);
    EXPECT_EQ(start.editWord, "4660!7");
    start = Start({"/pt", "Game", "@0!-3"});
    EXPECT_EQ(start.action, -3);
}

TEST(ToolCommandLine, NamesThatAreNoKeyNameAreRefusedBeforeAnythingHappens) {
    EXPECT_TRUE(IsUsableConfigurationName("Game"));
    EXPECT_TRUE(IsUsableConfigurationName(std::string(255, 'a')));
    EXPECT_FALSE(IsUsableConfigurationName(std::string(256, 'a')));
    EXPECT_FALSE(IsUsableConfigurationName(""));
    EXPECT_FALSE(IsUsableConfigurationName("..\\..\\PSEmu Pro"));

    // Edit mode says so and knows the caller's window to enable; report mode
    // writes its empty record.
    const ToolStart refused = Start({"/pt", "a\\b", "@4660"});
    EXPECT_EQ(refused.mode, StartMode::RefuseName);
    EXPECT_EQ(refused.callerWindow, 4660u);
    EXPECT_EQ(Start({"/pt", std::string(300, 'x'), "@0"}).mode, StartMode::RefuseName);
    EXPECT_EQ(Start({"/pt", "a\\b", "#3;1"}).mode, StartMode::Report);

    EXPECT_EQ(ConfigurationKeyPath("PSEmu Pro"), "Software\\Vision Thing\\PSEmu Pro");
    EXPECT_EQ(ConfigurationKeyPath("Game"), "Software\\Vision Thing\\KestrineCFG\\Game");
}

TEST(ToolCommandLine, LeadingNumbersReadLikeTheCLibrary) {
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("  -4"), -4);
    EXPECT_EQ(LeadingNumber("x1"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_GT(LeadingNumber("99999999999999999999999"), 0);  // saturates
    // Both ways to the limits of long, as strtol: the lowest one included.
    const long lowest = std::numeric_limits<long>::min(), highest = std::numeric_limits<long>::max();
    EXPECT_EQ(LeadingNumber("99999999999999999999999"), highest);
    EXPECT_EQ(LeadingNumber("-99999999999999999999999"), lowest);
    EXPECT_EQ(LeadingNumber(std::to_string(lowest)), lowest);
    EXPECT_EQ(LeadingNumber(std::to_string(highest)), highest);
}
