// dravolo-cli plugins: the plugin page's lists, test and about, run in-process
// on real (native test) plugin libraries.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

class CliPlugins : public test::PrefixFixture {
protected:
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        cli::Context context{out, err, prompter};
        return cli::Run(args, context);
    }
    void Install(const std::string& built, const std::string& folder, const std::string& name,
                 const std::string& cfg = "") {
        const std::string dir = driveC() + "/" + folder + "/";
        fs::create_directories(dir);
        fs::copy_file(fs::path(TEST_PLUGIN_DIR) / built, dir + name, fs::copy_options::overwrite_existing);
        if (!cfg.empty()) WriteHostFile(dir + fs::path(name).stem().string() + ".cfg", cfg);
    }
    std::ostringstream out, err;
    test::RecordingPrompter prompter;
};

TEST_F(CliPlugins, ListTestAndAboutGoThroughThePluginPage) {
    Install("gpuTest.dll", "fpse/plugin/psemu", "gpuPsemu.dll", "name=Psemu GPU\ntest=1\n");
    Install("gpuTest.dll", "fpse/plugin", "gpuNative.dll", "name=Native GPU\nfpsetest=1\n");
    Install("spuTest.dll", "fpse/plugin/psemu", "spuGood.dll", "name=Good SPU\n");

    ASSERT_EQ(Run({"plugins", "list", "Fpse"}), 0) << err.str();
    const std::string all = out.str();
    EXPECT_NE(all.find("\tgpu\t"), std::string::npos) << all;
    EXPECT_NE(all.find(" - FPSE\tgpuNative.dll\n"), std::string::npos) << all;  // shown without the marker
    EXPECT_NE(all.find("\tspu\t"), std::string::npos) << all;
    EXPECT_LT(all.find("gpuNative.dll"), all.find("gpuPsemu.dll"));  // the page's order
    ASSERT_EQ(Run({"plugins", "list", "fpse", "SPU"}), 0);
    EXPECT_EQ(out.str().find("\tgpu\t"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("spuGood.dll"), std::string::npos);
    // Four tab-separated columns on every line.
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;

    EXPECT_EQ(Run({"plugins", "test", "Fpse", "gpunative.dll"}), 0) << err.str();
    EXPECT_EQ(prompter.messages.back().text, "Plugin Test Passed.");
    EXPECT_EQ(Run({"plugins", "test", "Fpse", "gpuPsemu.dll"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "Plugin Test Failed!");

    ASSERT_EQ(Run({"plugins", "about", "Fpse", "gpuNative.dll"}), 0);
    EXPECT_NE(out.str().find("Author: Dravolo tests\n"), std::string::npos) << out.str();

    EXPECT_EQ(Run({"plugins", "test", "Fpse", "missing.dll"}), 1);
    EXPECT_NE(err.str().find("no plugin 'missing.dll'"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"plugins", "list", "Fpse", "mouse"}), 2);
    EXPECT_EQ(Run({"plugins", "list", "Nowhere"}), 2);
    EXPECT_EQ(Run({"plugins", "test", "Fpse"}), 2);
}

TEST_F(CliPlugins, HelpOnEveryCommandAndTheVersion) {
    ASSERT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out.str().rfind("dravolo-cli ", 0), 0u);
    for (const char* command :
         {"profiles", "launch", "quick-configure", "plugins", "settings", "reg", "cd", "memcard"}) {
        ASSERT_EQ(Run({command, "--help"}), 0) << command;
        EXPECT_NE(out.str().find(std::string("  ") + command + " "), std::string::npos) << out.str();
    }
    ASSERT_EQ(Run({"memcard", "check", "--help"}), 0);
    EXPECT_NE(out.str().find("memcard check FILE [--repair]"), std::string::npos);
    EXPECT_EQ(out.str().find("memcard list"), std::string::npos) << out.str();  // that subcommand's lines only
    ASSERT_EQ(Run({"cd", "extract", "-h"}), 0);
    EXPECT_NE(out.str().find("[--skip-bad]"), std::string::npos);  // with its continuation line
    EXPECT_EQ(Run({"nosuch", "--help"}), 2);
}

}  // namespace
}  // namespace dravolo
