// Our hive backend against Windows programs under wine64: values written on
// one side are read identically on the other, with and without a running
// wineserver, in both views of HKEY_LOCAL_MACHINE, and through .reg files.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "common/base/text.h"
#include "common/platform/posix/hive_registry.h"
#include "common/platform/regfile.h"
#include "tests/wine/wine_peer.h"

namespace dravolo::test {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

// The literal's bytes with its terminating NUL, as RegSetValueExA takes text.
template <std::size_t N>
Bytes Z(const char (&text)[N]) {
    return Bytes(text, text + N);
}

// One value of every kind the emulators and plugins store, with cp1252 text
// (é, €, ü) in names and data.
std::vector<RegValue> EveryKind() {
    return {
        {"", kRegSz, Z("default")},
        {"Caf\xe9 \x80", kRegSz, Z("Gr\xfc\xdf \x80 \"q\" back\\slash")},
        {"Empty", kRegSz, Z("")},
        {"Expand", kRegExpandSz, Z("%WINDIR%\\epsxe")},
        {"Multi", kRegMultiSz, Z("one\0t\xe9o\0")},
        {"Binary", kRegBinary, Bytes{0x00, 0xff, 0x10, 0x80, 0x7f}},
        {"NoBytes", kRegBinary, Bytes{}},
        {"Dword", kRegDword, RegDwordData(0xdeadbeef)},
        {"BigEndian", kRegDwordBigEndian, Bytes{1, 2, 3, 4}},
        {"Qword", kRegQword, Bytes{1, 2, 3, 4, 5, 6, 7, 8}},
        {"Long", kRegBinary, Bytes(300, 0x5a)},
    };
}

void ExpectSameValues(const std::vector<RegValue>& expected, const std::optional<std::vector<RegValue>>& actual,
                      const std::string& where) {
    ASSERT_TRUE(actual.has_value()) << where << ": key missing";
    const auto got = ByName(*actual);
    EXPECT_EQ(got.size(), expected.size()) << where;
    for (const RegValue& e : expected) {
        const auto it = got.find(LowerAnsi(e.name));
        ASSERT_NE(it, got.end()) << where << ": no value " << Describe(e);
        EXPECT_EQ(it->second.name, e.name) << where;
        EXPECT_EQ(it->second.type, e.type) << where << ": " << Describe(e);
        EXPECT_EQ(it->second.data, e.data) << where << ": expected " << Describe(e) << ", got " << Describe(it->second);
    }
}

RegBatch WriteAll(RegRoot root, const std::string& path, const std::vector<RegValue>& values) {
    RegBatch batch;
    batch.DeleteTree(root, path);
    for (const auto& v : values) batch.SetValue(root, path, v.name, v.type, v.data);
    return batch;
}

class RegistryWine : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        SKIP_UNLESS_WINE();
        peer = &WinePeer::Get();
        liveServer = GetParam();
        ASSERT_TRUE(liveServer ? peer->ServerUp() : peer->ServerDown());
        ASSERT_EQ(WineServerRunning(peer->prefix()), liveServer);
    }
    void TearDown() override {
        if (peer) {
            EXPECT_TRUE(peer->ServerDown());
        }
    }
    WinePeer* peer = nullptr;
    bool liveServer = false;
};

TEST_P(RegistryWine, OurValuesReadByAWindowsProgram) {
    auto reg = OpenSystemRegistry();
    const std::string key = std::string("Software\\DravoloProbe\\Ours") + (liveServer ? "Live" : "Files");
    ASSERT_TRUE(reg->Commit(WriteAll(HKCU, key, EveryKind())));
    ExpectSameValues(EveryKind(), peer->ProbeDump(HKCU, key), "HKCU seen by the probe");

    // HKEY_LOCAL_MACHINE: a 32-bit program's view is Wow6432Node in this 64-bit prefix.
    const std::vector<RegValue> machine = {{"Plugin", kRegSz, Z("gpu\xe9.dll")}, {"Level", kRegDword, RegDwordData(3)}};
    if (!liveServer) {
        ASSERT_TRUE(peer->ServerDown());
    }
    ASSERT_TRUE(reg->Commit(WriteAll(HKLM, key, machine)));
    ExpectSameValues(machine, peer->ProbeDump(HKLM, key, "32"), "HKLM 32-bit view");
    EXPECT_EQ(peer->ProbeDump(HKLM, key, "64"), std::nullopt) << "the 64-bit view must not see it";
    auto native = OpenPrefixRegistry(peer->prefix(), RegistryView::Native);
    ExpectSameValues(machine, native->EnumValues(HKLM, "Software\\Wow6432Node\\" + key.substr(9)), "native view");
    EXPECT_FALSE(native->KeyExists(HKLM, key));

    if (liveServer) {
        // The server's save at its exit keeps what went in through it.
        ASSERT_TRUE(peer->ServerDown());
        ExpectSameValues(EveryKind(), OpenSystemRegistry()->EnumValues(HKCU, key), "after the server's exit");
        ExpectSameValues(machine, OpenSystemRegistry()->EnumValues(HKLM, key), "HKLM after the server's exit");
    }
}

TEST_P(RegistryWine, WindowsProgramValuesReadByUs) {
    const std::string key = std::string("Software\\DravoloProbe\\Theirs") + (liveServer ? "Live" : "Files");
    for (const RegValue& v : EveryKind()) ASSERT_TRUE(peer->ProbeSet(HKCU, key, v)) << Describe(v);
    ASSERT_TRUE(peer->ProbeSet(HKLM, key, {"Bits", kRegDword, RegDwordData(32)}, "32"));
    ASSERT_TRUE(peer->ProbeSet(HKLM, key, {"Bits", kRegDword, RegDwordData(64)}, "64"));
    if (!liveServer) {
        ASSERT_TRUE(peer->ServerDown());
    }  // its exit writes the files
    ASSERT_EQ(WineServerRunning(peer->prefix()), liveServer);

    auto reg = OpenSystemRegistry();
    ExpectSameValues(EveryKind(), reg->EnumValues(HKCU, key), "HKCU read by us");
    EXPECT_EQ(reg->QueryValue(HKCU, key, "caf\xc9 \x80")->data, EveryKind()[1].data);  // names without case
    EXPECT_EQ(reg->QueryDword(HKLM, key, "Bits"), 32u);
    EXPECT_EQ(OpenPrefixRegistry(peer->prefix(), RegistryView::Native)->QueryDword(HKLM, key, "Bits"), 64u);
    EXPECT_EQ(reg->EnumSubkeys(HKCU, "Software\\DravoloProbe").value_or(std::vector<std::string>{}).empty(), false);
    EXPECT_FALSE(reg->KeyExists(HKCU, key + "\\Nothing"));
    EXPECT_EQ(reg->QueryValue(HKCU, key, "nothing"), std::nullopt);

    // A delete of a value and a tree reaches the Windows side too.
    RegBatch deletes;
    deletes.DeleteValue(HKCU, key, "Dword");
    deletes.CreateKey(HKCU, key + "\\Child");
    ASSERT_TRUE(reg->Commit(deletes));
    const auto after = peer->ProbeDump(HKCU, key);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(ByName(*after).count("dword"), 0u);
    EXPECT_NE(peer->ProbeDump(HKCU, key + "\\Child"), std::nullopt);
    if (!liveServer) {
        ASSERT_TRUE(peer->ServerDown());
    }
    ASSERT_TRUE(reg->DeleteTree(HKCU, key));
    EXPECT_EQ(peer->ProbeDump(HKCU, key), std::nullopt);
}

// While a server runs each read costs a "reg export" run: reads of one key
// and its subkeys share one export for a moment, and anything written by us
// or by a plugin we called is read afresh at once.
TEST(RegistryWineKeptReads, OneExportServesAKeyUntilSomethingWrites) {
    SKIP_UNLESS_WINE();
    WinePeer& peer = WinePeer::Get();
    const std::string runs = peer.scratch() + "/kept-reads-runs.txt";
    const std::string runner = peer.scratch() + "/kept-reads-runner.sh";
    {
        std::ofstream script(runner);
        script << "#!/bin/sh\necho \"$@\" >> '" << runs << "'\nexec '" << peer.wine() << "' \"$@\"\n";
    }
    ASSERT_EQ(chmod(runner.c_str(), 0755), 0);
    const auto exports = [&] {
        std::ifstream in(runs);
        int n = 0;
        for (std::string line; std::getline(in, line);) n += line.rfind("reg export", 0) == 0;
        return n;
    };
    const std::string key = "Software\\DravoloProbe\\Kept";
    ASSERT_TRUE(peer.ServerUp());
    ASSERT_TRUE(peer.ProbeSet(HKCU, key, {"A", kRegSz, Z("one")}));
    ASSERT_TRUE(peer.ProbeSet(HKCU, key + "\\Sub", {"B", kRegSz, Z("two")}));
    setenv("DRAVOLO_RUNNER", runner.c_str(), 1);

    auto reg = OpenSystemRegistry();
    EXPECT_EQ(reg->QueryString(HKCU, key, "A"), "one");
    EXPECT_EQ(reg->QueryString(HKCU, key + "\\Sub", "B"), "two");
    EXPECT_TRUE(reg->KeyExists(HKCU, "software\\dravoloprobe\\KEPT\\"));
    EXPECT_FALSE(reg->KeyExists(HKCU, key + "\\Sub\\None"));
    EXPECT_EQ(exports(), 1);

    // A Windows program writes; after a plugin call (which says so) we see it.
    ASSERT_TRUE(peer.ProbeSet(HKCU, key, {"A", kRegSz, Z("changed")}));
    ForgetCachedRegistryReads();
    EXPECT_EQ(reg->QueryString(HKCU, key, "A"), "changed");
    EXPECT_EQ(exports(), 2);
    // Our own write, through another registry object, is seen at once.
    ASSERT_TRUE(OpenSystemRegistry()->SetString(HKCU, key, "A", "ours"));
    EXPECT_EQ(reg->QueryString(HKCU, key, "A"), "ours");
    EXPECT_EQ(exports(), 3);

    setenv("DRAVOLO_RUNNER", peer.wine().c_str(), 1);
    EXPECT_TRUE(peer.ServerDown());
}

INSTANTIATE_TEST_SUITE_P(Server, RegistryWine, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? std::string("Running") : std::string("Stopped"); });

// Our export imports cleanly with Wine's "reg import", and Wine's export with ours.
// The peer's prefix began as one we made without Wine (see wine_peer.cpp):
// wine64 accepted its hives and reads back what we had written there, the
// machine value in the 32-bit view a 32-bit emulator has.
TEST(PrefixWeMadeWine, WineReadsBackTheValuesWeWroteFirst) {
    SKIP_UNLESS_WINE();
    const WinePeer& peer = WinePeer::Get();
    ASSERT_TRUE(peer.ServerDown());
    const auto user = peer.Run({"reg", "query", "HKCU\\Software\\DravoloTest", "/v", "MadeBy"});
    EXPECT_EQ(user.exitCode, 0) << user.output;
    EXPECT_NE(user.output.find("dravolo"), std::string::npos) << user.output;
    const auto machine = peer.Run({"reg", "query", "HKLM\\Software\\DravoloTest", "/v", "MadeBy", "/reg:32"});
    EXPECT_EQ(machine.exitCode, 0) << machine.output;
    EXPECT_NE(machine.output.find("dravolo"), std::string::npos) << machine.output;
    EXPECT_TRUE(peer.ServerDown());
    std::ifstream userReg(peer.prefix() + "/user.reg");
    std::string header((std::istreambuf_iterator<char>(userReg)), {});
    EXPECT_NE(header.find("#arch=win64"), std::string::npos);
}

TEST(RegFilesWine, ExportsCrossBothWays) {
    SKIP_UNLESS_WINE();
    WinePeer& peer = WinePeer::Get();
    ASSERT_TRUE(peer.ServerDown());
    auto reg = OpenSystemRegistry();
    const std::string key = "Software\\DravoloProbe\\Files";
    RegBatch batch = WriteAll(HKCU, key, EveryKind());
    batch.SetString(HKCU, key + "\\Sub key", "x", "y");
    ASSERT_TRUE(reg->Commit(batch));

    const std::string ours = peer.scratch() + "/ours.reg";
    ASSERT_TRUE(ExportRegistryKeyToFile(*reg, HKCU, key, ours));
    ASSERT_TRUE(reg->DeleteTree(HKCU, key));
    const auto imported = peer.Run({"reg", "import", "Z:" + ours});
    ASSERT_EQ(imported.exitCode, 0) << imported.output;
    ExpectSameValues(EveryKind(), peer.ProbeDump(HKCU, key), "our export imported by Wine");

    const std::string theirs = peer.scratch() + "/theirs.reg";
    const auto exported = peer.Run({"reg", "export", "HKCU\\" + key, "Z:" + theirs, "/y"});
    ASSERT_EQ(exported.exitCode, 0) << exported.output;
    ASSERT_TRUE(peer.ServerDown());
    ASSERT_TRUE(reg->DeleteTree(HKCU, key));
    ASSERT_EQ(ImportRegistryFile(*reg, theirs), RegImportResult::Ok);
    ExpectSameValues(EveryKind(), reg->EnumValues(HKCU, key), "Wine's export imported by us");
    EXPECT_EQ(reg->QueryString(HKCU, key + "\\Sub key", "x"), "y");
}

}  // namespace
}  // namespace dravolo::test
