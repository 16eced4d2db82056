// The Windows ways to a CD drive against Windows' (here Wine's) own parts:
// ASPI counts as installed only with the family's files in the system
// folder and then talks to the real WNASPI32; pass-through on a machine
// without CD drives finds none and fails cleanly.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "common/platform/scsi.h"
#include "common/platform/windows_family.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

class Win32Scsi : public test::PrefixFixture {
protected:
    void TearDown() override {
        std::error_code ec;
        if (!driverPath.empty()) fs::remove(driverPath, ec);
        test::PrefixFixture::TearDown();
    }
    std::string driverPath;
};

TEST_F(Win32Scsi, AspiNeedsItsDriverFileThenLoadsWnaspi32) {
    ASSERT_EQ(CurrentWindowsFamily(), WindowsFamily::NT);
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const bool haveLibrary = fs::exists(fs::path(system) / "wnaspi32.dll");
    if (fs::exists(fs::path(system) / "drivers" / "aspi32.sys")) GTEST_SKIP() << "this Windows has ASPI installed";

    auto aspi = OpenNativeScsiTransport(ScsiInterface::Aspi);
    ASSERT_EQ(aspi->Interface(), ScsiInterface::Aspi);
    EXPECT_EQ(aspi->Init(), ScsiInitError::NotInstalled);
    std::vector<ScsiDriveInfo> drives;
    EXPECT_FALSE(aspi->Enumerate(drives));
    EXPECT_EQ(aspi->Open({0, 0, 0}, nullptr), nullptr);
    if (!haveLibrary) GTEST_SKIP() << "no wnaspi32.dll in " << system;

    // With the NT driver file in place the library is loaded and asked.
    driverPath = (fs::path(system) / "drivers" / "aspi32.sys").string();
    fs::create_directories(fs::path(driverPath).parent_path());
    std::ofstream(driverPath, std::ios::binary) << "x";
    const ScsiInitError init = aspi->Init();
    EXPECT_TRUE(init == ScsiInitError::None || init == ScsiInitError::SupportInfoFailed) << static_cast<int>(init);
    if (init == ScsiInitError::None) {
        EXPECT_EQ(aspi->Init(), ScsiInitError::None);  // again: nothing changes
        drives.clear();
        aspi->Enumerate(drives);
        for (const auto& d : drives) EXPECT_EQ(d.adapterName.size(), 16u);
        EXPECT_NE(aspi->Open({0, 0, 0}, nullptr), nullptr);
    }
}

TEST_F(Win32Scsi, PassThroughWithoutDrivesFindsNothingAndOpensNothing) {
    auto passThrough = OpenNativeScsiTransport(ScsiInterface::PassThrough);
    ASSERT_EQ(passThrough->Interface(), ScsiInterface::PassThrough);
    const ScsiInitError init = passThrough->Init();
    std::vector<ScsiDriveInfo> drives;
    if (init == ScsiInitError::None) passThrough->Enumerate(drives);
    if (!drives.empty()) GTEST_SKIP() << "this machine has CD drives";
    EXPECT_EQ(passThrough->Open({7, 7, 7}, nullptr), nullptr);
}

}  // namespace
}  // namespace dravolo
