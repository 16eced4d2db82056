// KestrineStuff's entries bound by name from the DLL, as hosts do, and
// StartEmu starting the fake emulator installed as ePSXe.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "common/platform/library.h"
#include "optionslib/kestrinestuff.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

class KestrineStuffExports : public test::PrefixFixture {};

TEST_F(KestrineStuffExports, HostsFindEveryEntryByItsPlainNameAndStartEmuStarts) {
    auto library = Library::Load(KESTRINESTUFF_DLL_PATH);
    ASSERT_NE(library, nullptr);
    for (const char* name :
         {"CreateOptionDlg", "OptionDlg_Init", "OptionDlg_OnOK", "OptionDlg_OnCancel", "CreateAboutDlg", "StartEmu"})
        EXPECT_NE(library->Symbol(name), nullptr) << name;
    // Without a Qt application there is no dialog to make.
    auto create = library->Function<CreateOptionDlgProc>("CreateOptionDlg");
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(0), 0u);

    fs::copy_file(FAKE_EMULATOR_PATH, driveC() + "/epsxe/epsxe.exe");
    auto start = library->Function<StartEmuProc>("StartEmu");
    ASSERT_NE(start, nullptr);
    EXPECT_NE(start("C:\\epsxe\\epsxe.exe", "gpuTest.dll", "spuTest.dll", "cdrTest.dll", 0, 0, nullptr, nullptr, 0,
                    nullptr, "DISABLED"),
              0);
    const std::string report = workdir() + "/fake_emulator_report.txt";  // started in the host's directory
    for (int i = 0; i < 500 && !fs::exists(report); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_NE(ReadHostFile(report).find("argv[1]=-nogui\nargv[2]=-f\n"), std::string::npos) << ReadHostFile(report);
}

}  // namespace
}  // namespace dravolo
