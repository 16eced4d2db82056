// Finding and starting programs, checked through what the fake emulator saw.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/platform/posix/wine_bridge.h"
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "common/platform/process.h"
#include "common/platform/winfs.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { saved_ ? setenv(name_, saved_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};
#endif

class ProcessLaunch : public test::PrefixFixture {
protected:
    // Copies the fake emulator to a host path (executable).
    void InstallFake(const std::string& hostPath) const {
        fs::create_directories(fs::path(hostPath).parent_path());
        fs::copy_file(FAKE_EMULATOR_PATH, hostPath, fs::copy_options::overwrite_existing);
        fs::permissions(hostPath, fs::perms::owner_all);
    }
    void Touch(const std::string& hostPath) const { WriteHostFile(hostPath, "x"); }

    std::string Report(const std::string& hostDir) const { return ReadHostFile(hostDir + "/fake_emulator_report.txt"); }
    bool WaitForReport(const std::string& hostDir) const {
        for (int i = 0; i < 500; ++i) {
            if (HostExists(hostDir + "/fake_emulator_report.txt")) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

TEST_F(ProcessLaunch, UnquotedNameWithBlanksIsTriedPrefixByPrefix) {
    Touch(driveC() + "/psinex/psinex pc emulator.exe");
    auto r = ResolveProgram("c:\\psinex\\psinex pc emulator.exe -x \"y z\"", "");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->program, "c:\\psinex\\psinex pc emulator.exe");
    EXPECT_EQ(r->arguments, "-x \"y z\"");

    // A shorter prefix that exists wins, as on Windows.
    Touch(driveC() + "/psinex/psinex.exe");
    r = ResolveProgram("c:\\psinex\\psinex pc emulator.exe -x", "");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->program, "c:\\psinex\\psinex.exe");
    EXPECT_EQ(r->arguments, "pc emulator.exe -x");
}

TEST_F(ProcessLaunch, ExeIsAppendedAndDirectoriesAreNoPrograms) {
    fs::create_directories(driveC() + "/pcsx/pcsx");  // a folder named like the program
    Touch(driveC() + "/pcsx/pcsx.exe");
    const auto r = ResolveProgram("C:\\PCSX\\pcsx -cdfile x", "");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->program, "C:\\PCSX\\pcsx.exe");
    EXPECT_FALSE(ResolveProgram("C:\\PCSX\\missing.exe", ""));
    EXPECT_FALSE(ResolveProgram("C:\\PCSX", ""));
    EXPECT_FALSE(ResolveProgram("   ", ""));
}

TEST_F(ProcessLaunch, QuotedNameIsTakenWhole) {
    Touch(driveC() + "/adripsx/adri psx.exe");
    Touch(driveC() + "/adripsx/adri.exe");
    const auto r = ResolveProgram("  \"C:\\adripsx\\adri psx.exe\"  -f", "");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->program, "C:\\adripsx\\adri psx.exe");
    EXPECT_EQ(r->arguments, "-f");
    const auto shorter = ResolveProgram("\"C:\\adripsx\\adri\" psx.exe", "");
    ASSERT_TRUE(shorter);
    EXPECT_EQ(shorter->program, "C:\\adripsx\\adri.exe");
    EXPECT_EQ(shorter->arguments, "psx.exe");
}

TEST_F(ProcessLaunch, RelativeNamesTryTheWorkingDirectoryThenTheCurrentOne) {
    Touch(driveC() + "/fpse/fpse.exe");
    Touch("tool.exe");
    auto r = ResolveProgram("fpse.exe", "C:\\fpse");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->program, "C:\\fpse\\fpse.exe");
    r = ResolveProgram("tool", "C:\\fpse");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->program, GetCurrentDir() + "\\tool.exe");
    EXPECT_FALSE(ResolveProgram("fpse.exe", ""));
}

// How POSIX runs what it found: native programs and scripts directly, PE files
// through the runner. On Windows CreateProcess does all of it (tests/win32).
#ifndef _WIN32
TEST_F(ProcessLaunch, RunAndWaitRunsInTheWorkingDirectoryWithSplitArguments) {
    InstallFake(driveC() + "/psinex/psinex pc emulator");
    const auto code =
        RunAndWait("C:\\PSINEX\\psinex pc emulator -x \"a b\" c:\\dir\\ \\\"q\\\" --exit 7", "c:\\psinex");
    ASSERT_EQ(code, 7);
    const std::string report = Report(driveC() + "/psinex");
    EXPECT_NE(report.find("cwd=" + fs::canonical(driveC() + "/psinex").string() + "\n"), std::string::npos) << report;
    EXPECT_NE(report.find("argc=7\n"), std::string::npos) << report;
    EXPECT_NE(report.find("argv[1]=-x\nargv[2]=a b\nargv[3]=c:\\dir\\\nargv[4]=\"q\"\nargv[5]=--exit\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("WINEPREFIX=" + prefix() + "\n"), std::string::npos) << report;
}

TEST_F(ProcessLaunch, ExitCodesAndFailuresComeBack) {
    InstallFake(workdir() + "/Epsxe/fake");
    EXPECT_EQ(RunAndWait("Epsxe\\fake", ""), 0);
    EXPECT_TRUE(HostExists("fake_emulator_report.txt"));  // empty workingDir: the current directory
    EXPECT_EQ(RunAndWait("Epsxe\\fake --exit 255", "Epsxe"), 255);
    EXPECT_EQ(RunAndWait("Epsxe\\fake", "Epsxe\\missing"), std::nullopt);
    EXPECT_EQ(RunAndWait("Epsxe\\nothing.exe", ""), std::nullopt);
    EXPECT_FALSE(StartProcess("Epsxe\\nothing.exe", ""));
}

TEST_F(ProcessLaunch, ScriptsNeedTheirRunBit) {
    WriteHostFile("Fpse/run.sh", "#!/bin/sh\necho \"$1\" > script_saw.txt\nexit 3\n");
    EXPECT_EQ(RunAndWait("Fpse\\run.sh hello", "Fpse"), std::nullopt);
    chmod(HostPath("Fpse/run.sh").c_str(), 0755);
    EXPECT_EQ(RunAndWait("Fpse\\run.sh hello", "Fpse"), 3);
    EXPECT_EQ(ReadHostFile("Fpse/script_saw.txt"), "hello\n");
}

TEST_F(ProcessLaunch, StartProcessDetachesWithoutLeavingAZombie) {
    InstallFake(driveC() + "/epsxe/epsxe");
    ASSERT_TRUE(StartProcess("C:\\epsxe\\epsxe --sleep-ms 50 -nogui", "C:\\epsxe"));
    // Only the short-lived middle process was our child, and it is reaped.
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    ASSERT_TRUE(WaitForReport(driveC() + "/epsxe"));
    EXPECT_NE(Report(driveC() + "/epsxe").find("argv[3]=-nogui\n"), std::string::npos);
}

TEST_F(ProcessLaunch, WindowsProgramsGoThroughTheRunnerWithTheirWindowsPath) {
    WriteHostFile(driveC() + "/epsxe/ePSXe.exe", std::string("MZ\x90\0\3", 5));
    const ScopedEnv runner("DRAVOLO_RUNNER", std::string(FAKE_EMULATOR_PATH) + "  --runner-flag");
    const auto code = RunAndWait("c:\\EPSXE\\epsxe.exe -nogui -loadbin \"c:\\my games\\x.bin\"", "C:\\epsxe");
    ASSERT_EQ(code, 0);
    const std::string report = Report(driveC() + "/epsxe");
    EXPECT_NE(report.find("argv[0]=" + std::string(FAKE_EMULATOR_PATH) +
                          "\n"
                          "argv[1]=--runner-flag\n"
                          "argv[2]=C:\\epsxe\\ePSXe.exe\n"
                          "argv[3]=-nogui\n"
                          "argv[4]=-loadbin\n"
                          "argv[5]=c:\\my games\\x.bin\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("WINEPREFIX=" + prefix() + "\n"), std::string::npos) << report;

    const ScopedEnv missing("DRAVOLO_RUNNER", "/no/such/runner");
    EXPECT_EQ(RunAndWait("c:\\epsxe\\epsxe.exe", "C:\\epsxe"), std::nullopt);
}

// Descriptors we hold (a profile being written, a hive's lock, a pipe to a
// helper) are ours alone: a started program sees only its standard three.
// Descriptors 7 and 123 stand for ones opened without close-on-exec.
class InheritedDescriptors : public ProcessLaunch {
protected:
    void SetUp() override {
        ProcessLaunch::SetUp();
        for (const int fd : {7, 123}) {
            const int opened = open("/dev/null", O_RDONLY);
            ASSERT_GE(opened, 0);
            ASSERT_EQ(dup2(opened, fd), fd);
            close(opened);
        }
        // Lists the descriptors above 2 that the shell running it was given.
        WriteHostFile("Pcsx/fds.sh",
                      "#!/bin/sh\nfor fd in 3 4 5 6 7 8 9 100 123; do [ -e /proc/$$/fd/$fd ] && printf '%s ' \"$fd\";"
                      " done > \"$(dirname \"$0\")/fds_$1.txt\"\necho >> \"$(dirname \"$0\")/fds_$1.txt\"\n");
        chmod(HostPath("Pcsx/fds.sh").c_str(), 0755);
    }
    void TearDown() override {
        close(7);
        close(123);
        ProcessLaunch::TearDown();
    }
    std::string Seen(const std::string& run) {
        for (int i = 0; i < 500 && !HostExists("Pcsx/fds_" + run + ".txt"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return ReadHostFile("Pcsx/fds_" + run + ".txt");
    }
};

TEST_F(InheritedDescriptors, NoneReachAStartedProgram) {
    ASSERT_EQ(fcntl(7, F_GETFD) & FD_CLOEXEC, 0);
    EXPECT_EQ(RunAndWait("Pcsx\\fds.sh waited", "Pcsx"), 0);
    EXPECT_EQ(Seen("waited"), "\n");
    ASSERT_TRUE(StartProcess("Pcsx\\fds.sh detached", "Pcsx"));
    EXPECT_EQ(Seen("detached"), "\n");
    // Ours still: the parent's descriptors stay open and as they were.
    EXPECT_EQ(fcntl(7, F_GETFD), 0);
    EXPECT_EQ(fcntl(123, F_GETFD), 0);
}

TEST_F(InheritedDescriptors, NoneReachAProgramRunInThePrefix) {
    // The runner path of Wine helpers: pipes on 0 and 1 are all it gets.
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const auto pid = wine::SpawnInPrefix(prefix(), {HostPath("Pcsx/fds.sh"), "runner"}, {}, -1, out[1], -1);
    close(out[1]);
    ASSERT_TRUE(pid);
    int status = 0;
    waitpid(*pid, &status, 0);
    close(out[0]);
    EXPECT_EQ(Seen("runner"), "\n");
}
#endif

}  // namespace
}  // namespace dravolo
