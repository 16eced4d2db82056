#include <gtest/gtest.h>

#include <filesystem>

#include "common/platform/library.h"
#include "common/platform/winfs.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

class LibraryLoad : public test::PrefixFixture {};

TEST_F(LibraryLoad, LoadsByWindowsPathAndFindsExports) {
    // Installed the way a plugin folder holds it, looked up without case.
    fs::create_directories(driveC() + "/epsxe/plugins");
    fs::copy_file(PLATFORM_TEST_LIBRARY_PATH, driveC() + "/epsxe/plugins/gpuPlatTest.dll");
    const auto lib = Library::Load("C:\\ePSXe\\PLUGINS\\gpuplattest.DLL");
    ASSERT_NE(lib, nullptr);
    const auto add = lib->Function<int (*)(int, int)>("PlatTestAdd");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(2, 3), 5);
    EXPECT_STREQ(static_cast<const char*>(lib->Symbol("PlatTestName")), "platform test library");
    EXPECT_EQ(lib->Symbol("GPUinit"), nullptr);
}

TEST_F(LibraryLoad, RelativePathsLoadWithEitherSlash) {
    // Profiles and settings name plugins relative to the working directory,
    // some written with '/', which LoadLibrary takes for no folder at all.
    fs::create_directories(workdir() + "/plugins");
    fs::copy_file(PLATFORM_TEST_LIBRARY_PATH, workdir() + "/plugins/gpuRelative.dll");
    for (const char* path : {"plugins/gpuRelative.dll", "plugins\\gpuRelative.dll", ".\\plugins/gpuRelative.dll"}) {
        const auto lib = Library::Load(path);
        ASSERT_NE(lib, nullptr) << path;
        EXPECT_NE(lib->Symbol("PlatTestAdd"), nullptr) << path;
    }
}

TEST_F(LibraryLoad, KeptLibraryOutlivesItsWrapper) {
    // Code of a kept library still runs once the wrapper that loaded it is
    // gone; without the pin the last dlclose / FreeLibrary unmaps it.
    fs::create_directories(driveC() + "/epsxe/plugins");
    fs::copy_file(PLATFORM_TEST_LIBRARY_PATH, driveC() + "/epsxe/plugins/gpuKept.dll");
    auto lib = Library::Load("C:\\epsxe\\plugins\\gpuKept.dll");
    ASSERT_NE(lib, nullptr);
    ASSERT_TRUE(lib->KeepLoadedForProcessLife());
    const auto add = lib->Function<int (*)(int, int)>("PlatTestAdd");
    ASSERT_NE(add, nullptr);
    lib.reset();
    EXPECT_EQ(add(20, 22), 42);
    // Loading it again still works and finds the same code.
    const auto again = Library::Load("C:\\epsxe\\plugins\\gpuKept.dll");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Function<int (*)(int, int)>("PlatTestAdd"), add);
}

TEST_F(LibraryLoad, NonLibrariesAndMissingFilesGiveNull) {
    WriteHostFile(driveC() + "/epsxe/plugins/gpuFake.dll", "MZ not a shared object");
    EXPECT_EQ(Library::Load("C:\\epsxe\\plugins\\gpuFake.dll"), nullptr);
    EXPECT_EQ(Library::Load("C:\\epsxe\\plugins\\missing.dll"), nullptr);
}

}  // namespace
}  // namespace dravolo
