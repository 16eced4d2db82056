// PCSX-Reloaded as the PCSX of Linux: a PCSX profile launched with pcsxr as
// the program writes ~/.pcsxr/dravolo/<profile>.cfg and starts pcsxr on it;
// its window opens on the tests' X server. Then pcsxr itself, without its
// window, loads the profile's plugins and memory cards from that file.

#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "frontend/launch/launch.h"
#include "frontend/launch/pcsxr_config.h"
#include "tests/launch/launch_fixture.h"
#include "tests/real_plugins/pcsxr_plugins.h"
#include "tests/real_plugins/x_display.h"
#include "tests/support/disc_builder.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace dravolo {
namespace {

constexpr const char* kPcsxr = "/usr/games/pcsxr";

// What a command prints on stdout and stderr together.
std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
    return out;
}

class PcsxrLaunch : public test::LaunchFixture {
protected:
    void SetUp() override {
        if (!fs::exists(kPcsxr)) GTEST_SKIP() << "Skipped: pcsxr is not installed (apt-get install pcsxr)";
        if (const std::string missing = test::PcsxrPluginsMissing(); !missing.empty())
            GTEST_SKIP() << "Skipped: " << missing;
        if (!display.available()) GTEST_SKIP() << "Skipped: " << display.why();
        test::LaunchFixture::SetUp();
        home = root() + "/home";
        fs::create_directories(home);
        const char* saved = std::getenv("HOME");
        if (saved) savedHome = saved;
        setenv("HOME", home.c_str(), 1);
        setenv("DISPLAY", display.name().c_str(), 1);
    }
    void TearDown() override {
        if (!savedHome.empty()) setenv("HOME", savedHome.c_str(), 1);
        test::LaunchFixture::TearDown();
    }

    test::XDisplay display;
    std::string home, savedHome;
};

TEST_F(PcsxrLaunch, LaunchWritesItsFileAndPcsxrRunsOnIt) {
    ASSERT_TRUE(settings().SetString("PcsxPath", "/usr/games/"));
    ASSERT_TRUE(settings().SetString("PcsxExe", "pcsxr"));
    const std::string cards = root() + "/cards";
    fs::create_directories(cards);
    _PCSXDATA r(settings());
    r.Gpu = "libDFXVideo.so";
    r.Spu = "libDFSound.so";
    r.Cdr = "libDFCdrom.so";
    r.Pad1 = r.Pad2 = "libDFInput.so";
    r.Mcd1 = cards + "/first.mcd";
    r.Mcd2 = cards + "/second.mcd";
    r.PsxOut = 1;  // pcsxr tells what it loads only with its console output on
    SaveProfile("Crash Test", r);

    SleepingWindowPoller poller;
    LaunchRequest request;
    request.kind = EmulatorKind::Pcsx;
    request.profileName = "Crash Test";
    ASSERT_TRUE(LaunchSelectedProfile(request, registry(), settings(), prompter, poller));
    EXPECT_TRUE(prompter.messages.empty());
    const std::string file = home + "/.pcsxr/dravolo/Crash Test.cfg";
    ASSERT_TRUE(fs::exists(file));

    const std::string window = display.WaitForWindow("PCSXR", 30s);
    EXPECT_FALSE(window.empty()) << "pcsxr's window \"PCSXR\" never appeared";
    if (!window.empty()) {
        const pid_t pid = display.WindowPid(window);
        EXPECT_GT(pid, 0);
        if (pid > 0) kill(pid, SIGTERM);  // the program we started
    }

    // pcsxr itself on the file, with a small disc: 1.9.94 loads plugins and
    // cards, then stops at the video output Xvfb does not have.
    const std::string disc = test::DiscBuilder().AddTrack(test::TrackKind::Mode2, 300).WriteTo(root(), "disc", false);
    const std::string out = Output("cd '" + root() + "' && timeout 60 " + kPcsxr +
                                   " -nogui -cfg 'dravolo/Crash Test.cfg' -cdfile '" + disc + "'");
    EXPECT_NE(out.find("Using config file dravolo/Crash Test.cfg."), std::string::npos) << out;
    EXPECT_NE(out.find("Plugins loaded."), std::string::npos) << out;
    for (const std::string& card : {r.Mcd1, r.Mcd2}) {
        const bool told = out.find("Loading memory card " + card) != std::string::npos ||
                          out.find("The memory card " + card + " doesn't exist - creating it") != std::string::npos;
        EXPECT_TRUE(told) << card << "\n" << out;
    }
}

}  // namespace
}  // namespace dravolo
