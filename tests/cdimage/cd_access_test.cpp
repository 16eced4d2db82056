// The CD access object against virtual drives: the command blocks that reach
// the drive, retries, the sector-by-sector fallback, sense handling, the TOC
// and the interface start-up messages.

#include <gtest/gtest.h>

#include "tests/cdimage/cd_test_rig.h"

namespace dravolo::test {
namespace {

VirtualDisc Disc(const std::string& path) {
    VirtualDisc setup;
    setup.imagePath = path;
    return setup;
}

class CdAccessTest : public ::testing::TestWithParam<int> {
protected:
    std::string MakeDisc() {
        built = DiscBuilder();
        built.AddTrack(TrackKind::Mode2, 100).AddTrack(TrackKind::Audio, 40, 0x77).AddTrack(TrackKind::Audio, 20, 0x01);
        return built.WriteTo(images.path(), "disc");
    }
    TempDir images;
    DiscBuilder built;
};

TEST_P(CdAccessTest, SendsTheCommandBlocksByteForByte) {
    CdRig rig({Disc(MakeDisc())}, GetParam());
    ASSERT_TRUE(rig.Init());
    CdAccess& cd = *rig.access;
    ASSERT_EQ(cd.Drives().size(), 1u);
    EXPECT_EQ(cd.TestUnitReady(0, 0, 0), 1);
    EXPECT_EQ(cd.ReadCapacity(0, 0, 0), 160u);
    EXPECT_EQ(cd.SetSpeed(0, 0, 0, 0), 1);
    EXPECT_EQ(cd.SetSpeed(0, 0, 0, 4), 1);
    auto drive = cd.OpenDrive(0, 0, 0);
    EXPECT_EQ(cd.ReadRaw(drive.get(), 0x01020304 & 0x3F, 26), 1);

    const std::vector<Cdb> expected{
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
        {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {0xBB, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0, 0, 0, 0, 0},  // "Auto": the drive's maximum
        {0xBB, 0x00, 0x02, 0xC2, 0x00, 0x00, 0, 0, 0, 0, 0, 0},  // 706 kB/s
        ReadCdBlock(4, 26),
    };
    EXPECT_EQ(rig.Commands(), expected);
    EXPECT_EQ(rig.drives[0]->LastSpeed(), 706);

    rig.drives[0]->ClearCommands();
    ASSERT_EQ(cd.ReadToc(0, 0, 0), 1);
    const std::vector<Cdb> tocCommands{{0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x24, 0x00},
                                       ReadCdBlock(0, 1),
                                       ReadCdBlock(100, 1),
                                       ReadCdBlock(140, 1)};
    EXPECT_EQ(rig.Commands(), tocCommands);
    // Modes from byte 15 of each track's first sector: 0x77 is above 2, so audio.
    ASSERT_EQ(cd.Toc().size(), 3u);
    EXPECT_EQ(cd.Toc()[0].mode, kTrackMode2);
    EXPECT_EQ(cd.Toc()[1].mode, kTrackAudio);
    EXPECT_EQ(cd.Toc()[2].mode, kTrackMode1);  // an audio track whose byte 15 happens to be 1
    EXPECT_EQ(cd.Toc()[1].start, 100);
    EXPECT_EQ(cd.Toc()[2].track, 2);
    EXPECT_FALSE(cd.Toc()[2].dataTrack);
    // The buffer holds what was read: sector 4 at offset 0 from the ReadRaw above is gone,
    // the last TOC read (sector 140) is there.
    EXPECT_EQ(cd.Buffer()[20], DiscBuilder::Pattern(140, 20));
}

TEST_P(CdAccessTest, UnreadableSectorFallsBackToSingleSectorsAndFails) {
    VirtualDisc setup = Disc(MakeDisc());
    setup.badSectors.push_back({10, 10});
    CdRig rig({setup}, GetParam());
    ASSERT_TRUE(rig.Init());
    auto drive = rig.access->OpenDrive(0, 0, 0);
    EXPECT_EQ(rig.access->ReadRaw(drive.get(), 0, 26), -1);

    // The bulk read and its one retry, then sectors 0-9 one by one, then 10 fails.
    std::vector<Cdb> expected{ReadCdBlock(0, 26), ReadCdBlock(0, 26)};
    for (std::uint32_t s = 0; s <= 10; ++s) expected.push_back(ReadCdBlock(s, 1));
    EXPECT_EQ(rig.Commands(), expected);
    // Sectors 0-9 are in their places all the same.
    EXPECT_EQ(rig.access->Buffer()[9 * 2352 + 100], DiscBuilder::Pattern(9, 100));
    EXPECT_EQ(rig.access->ReadRaw(drive.get(), 11, 26), 1);
    EXPECT_EQ(rig.access->ReadRaw(drive.get(), 0, 0), 1);
    EXPECT_EQ(rig.access->ReadRaw(drive.get(), 0, 27), -1);  // more than the buffer holds
}

TEST_P(CdAccessTest, ReadIntoTheCallersRoomSendsTheSameReadsAndLeavesTheBufferAlone) {
    VirtualDisc setup = Disc(MakeDisc());
    setup.badSectors.push_back({40, 40});
    CdRig rig({setup}, GetParam());
    ASSERT_TRUE(rig.Init());
    auto drive = rig.access->OpenDrive(0, 0, 0);
    ASSERT_EQ(rig.access->ReadRaw(drive.get(), 0, 1), 1);
    rig.drives[0]->ClearCommands();

    // A remainder of 3 sectors lands at the start of the room; the drive is
    // still handed a whole transfer.
    Bytes room(kTransferBufferSize + 100, 0xEE);
    ASSERT_EQ(rig.access->ReadRaw(drive.get(), 20, 3, room), 1);
    EXPECT_EQ(Bytes(room.begin(), room.begin() + 3 * 2352), built.Range(20, 22));
    EXPECT_EQ(room[kTransferBufferSize], 0xEE);
    // Falling back to single sectors puts them into the room too.
    EXPECT_EQ(rig.access->ReadRaw(drive.get(), 30, 26, room), -1);
    EXPECT_EQ(room[9 * 2352 + 100], DiscBuilder::Pattern(39, 100));
    EXPECT_EQ(rig.access->Buffer()[100], DiscBuilder::Pattern(0, 100));  // untouched since sector 0

    std::vector<Cdb> expected{ReadCdBlock(20, 3), ReadCdBlock(30, 26), ReadCdBlock(30, 26)};
    for (std::uint32_t s = 30; s <= 40; ++s) expected.push_back(ReadCdBlock(s, 1));
    EXPECT_EQ(rig.Commands(), expected);

    // Room for less than a transfer is refused before anything is sent.
    Bytes small(kTransferBufferSize - 1);
    EXPECT_EQ(rig.access->ReadRaw(drive.get(), 0, 1, small), -1);
    EXPECT_EQ(rig.Commands().size(), expected.size());
}

TEST_P(CdAccessTest, UnitAttentionFailsAtOnceWithoutRetry) {
    VirtualDisc setup = Disc(MakeDisc());
    setup.unitAttention = true;
    CdRig rig({setup}, GetParam());
    ASSERT_TRUE(rig.Init());
    EXPECT_EQ(rig.access->ReadCapacity(0, 0, 0), 0u);
    EXPECT_EQ(rig.Commands().size(), 1u);
    // Reported once; the drive answers normally afterwards.
    EXPECT_EQ(rig.access->ReadCapacity(0, 0, 0), 160u);
}

// The attention a disc change leaves is news, not the drive's state: the
// test looks once more, and a drive with a disc is ready.
TEST_P(CdAccessTest, TestUnitReadyLooksAgainAfterAUnitAttention) {
    VirtualDisc setup = Disc(MakeDisc());
    setup.unitAttention = true;
    CdRig rig({setup}, GetParam());
    ASSERT_TRUE(rig.Init());
    EXPECT_EQ(rig.access->TestUnitReady(0, 0, 0), 1);
    EXPECT_EQ(rig.Commands().size(), 2u);
    EXPECT_EQ(rig.access->TestUnitReady(0, 0, 0), 1);
    EXPECT_EQ(rig.Commands().size(), 3u);

    // A changed disc that is not there: still not ready after the second look.
    VirtualDisc empty = Disc(MakeDisc());
    empty.unitAttention = true;
    empty.notReady = true;
    CdRig none({empty}, GetParam());
    ASSERT_TRUE(none.Init());
    EXPECT_EQ(none.access->TestUnitReady(0, 0, 0), 0);
}

TEST_P(CdAccessTest, NotReadyDrive) {
    VirtualDisc setup = Disc(MakeDisc());
    setup.notReady = true;
    CdRig rig({setup}, GetParam());
    ASSERT_TRUE(rig.Init());  // INQUIRY answers without a disc
    ASSERT_EQ(rig.access->Drives().size(), 1u);
    EXPECT_EQ(rig.access->TestUnitReady(0, 0, 0), 0);
    const bool passThrough = GetParam() == kInterfaceModePassThrough;
    // Pass-through tries seven times, ASPI once.
    EXPECT_EQ(rig.Commands().size(), passThrough ? 7u : 1u);
    EXPECT_EQ(rig.access->ReadCapacity(0, 0, 0), 0u);
    EXPECT_EQ(rig.access->ReadToc(0, 0, 0), 0);
    EXPECT_TRUE(rig.access->Toc().empty());
    const std::string text = rig.diagnostics.str();
    if (passThrough) {
        EXPECT_NE(text.find(" * IOCTL Sensekey: 2 3A 0\n"), std::string::npos) << text;
    } else {
        // ASPI reports the sense before its retry: READ CAPACITY and READ TOC once each.
        EXPECT_EQ(text, " * ASPI Sensekey: 2, 3A, 0\n * ASPI Sensekey: 2, 3A, 0\n");
    }
}

TEST_P(CdAccessTest, FailedTocReadLeavesNoStaleTracks) {
    const std::string path = MakeDisc();
    VirtualDisc bad = Disc(path);
    bad.notReady = true;
    CdRig rig({Disc(path), bad}, GetParam());
    ASSERT_TRUE(rig.Init());
    ASSERT_EQ(rig.access->ReadToc(0, 0, 0), 1);
    EXPECT_EQ(rig.access->Toc().size(), 3u);
    EXPECT_EQ(rig.access->ReadToc(0, 1, 0), 0);
    EXPECT_TRUE(rig.access->Toc().empty());
}

INSTANTIATE_TEST_SUITE_P(BothForms, CdAccessTest, ::testing::Values(kInterfaceModePassThrough, kInterfaceModeAspi),
                         [](const auto& info) { return info.param == kInterfaceModeAspi ? "Aspi" : "PassThrough"; });

TEST(CdAccessInit, DriveNamesAndAddressesPerInterface) {
    TempDir images;
    DiscBuilder b;
    const std::string path = b.AddTrack(TrackKind::Mode1, 30).WriteTo(images.path(), "one");
    std::vector<VirtualDisc> nine(9, Disc(path));
    CdRig rig(nine, kInterfaceModeAspi);
    ASSERT_TRUE(rig.Init());
    const auto& drives = rig.access->Drives();
    ASSERT_EQ(drives.size(), 9u);
    EXPECT_EQ(drives[0].driveName, "DRAVOLO VIRTUAL CD-ROM  1.0");  // ASPI: bytes 8-34
    EXPECT_EQ(drives[8].adapter, 1);                                // eight targets to an adapter
    EXPECT_EQ(drives[8].target, 0);
    // The INQUIRY went to the drive exactly as written.
    CdRig fresh({Disc(path)}, kInterfaceModeAspi);
    ASSERT_EQ(fresh.access->Init(ScsiInterface::Aspi, &fresh.prompter), 1);
    EXPECT_EQ(fresh.Commands(), (std::vector<Cdb>{{0x12, 0x00, 0x00, 0x00, 0x24, 0x00}}));
    // Init again succeeds without enumerating again.
    EXPECT_EQ(fresh.access->Init(ScsiInterface::Aspi, &fresh.prompter), 1);
    EXPECT_EQ(fresh.Commands().size(), 1u);
}

TEST(CdAccessInit, PassThroughWithoutDevicesShowsItsMessage) {
    CdRig rig({}, kInterfaceModePassThrough);
    EXPECT_EQ(rig.access->Init(ScsiInterface::PassThrough, &rig.prompter), 0);
    ASSERT_EQ(rig.prompter.messages.size(), 1u);
    EXPECT_EQ(rig.prompter.messages[0].text, "IOCTL: Couldn't find any SCSI device/initialization error.\n");
    EXPECT_EQ(rig.prompter.messages[0].caption, "IOCTL Error");
    EXPECT_EQ(rig.prompter.messages[0].icon, PromptIcon::Stop);
    EXPECT_FALSE(rig.access->IsInitialised(ScsiInterface::PassThrough));
    EXPECT_EQ(rig.access->Buffer(), nullptr);
}

// A transport that fails to come up the way the ASPI library can.
class FailingTransport : public ScsiTransport {
public:
    explicit FailingTransport(ScsiInitError error) : error_(error) {}
    ScsiInterface Interface() const override { return ScsiInterface::Aspi; }
    ScsiInitError Init() override { return error_; }
    bool Enumerate(std::vector<ScsiDriveInfo>&) override { return false; }
    std::unique_ptr<ScsiHandle> Open(const ScsiAddress&, DeviceLog*) override { return nullptr; }

private:
    ScsiInitError error_;
};

TEST(CdAccessInit, AspiFailuresTellWhatTheyShould) {
    struct Case {
        ScsiInitError error;
        int result;
        std::string stdoutText, boxText, boxCaption;
    };
    const Case cases[] = {
        {ScsiInitError::NotInstalled, 0, "Error: Unable to find suitable aspi installation.\n", "", ""},
        {ScsiInitError::LibraryNotLoaded, 0, "Cannot initialize ASPI libraries!\n", "", ""},
        {ScsiInitError::EntryPointsMissing, 0, "", "", ""},
        {ScsiInitError::SupportInfoFailed, 0, "", "Initialization failed!\n", "ERROR"},
        // Up, but the host adapter inquiry fails: usable, without drives.
        {ScsiInitError::None, 1, "", "Host adapter inquiry failed.", "Adapter Error"},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        RecordingPrompter prompter;
        CdAccess cd([&](ScsiInterface) { return std::make_unique<FailingTransport>(c.error); }, &out);
        EXPECT_EQ(cd.Init(ScsiInterface::Aspi, &prompter), c.result);
        EXPECT_EQ(out.str(), c.stdoutText);
        ASSERT_EQ(prompter.messages.size(), c.boxText.empty() ? 0u : 1u);
        if (!c.boxText.empty()) {
            EXPECT_EQ(prompter.messages[0].text, c.boxText);
            EXPECT_EQ(prompter.messages[0].caption, c.boxCaption);
        }
    }
}

TEST(CdAccessInit, PassThroughLookupIsLoggedAndRewritten) {
    TempDir images;
    DiscBuilder b;
    const std::string path = b.AddTrack(TrackKind::Mode1, 30).WriteTo(images.path(), "one");
    CdRig rig({Disc(path), Disc(path)}, kInterfaceModePassThrough);
    ASSERT_TRUE(rig.Init());
    const std::string log = rig.dir.path() + "/cdrdevnames.log";
    ASSERT_NE(rig.access->FindDriveHandle(0, 1, 0), nullptr);
    const std::string device = "device: virtual:" + path + "\n";
    const Bytes first = ReadHost(log);
    EXPECT_EQ(std::string(first.begin(), first.end()),
              device + "\t\t\tAdapter: 0:0:0\n" + device + "\t\t\tAdapter: 0:1:0\n");
    EXPECT_EQ(rig.access->FindDriveHandle(0, 5, 0), nullptr);
    const Bytes second = ReadHost(log);
    EXPECT_EQ(std::string(second.begin(), second.end()),
              device + "\t\t\tAdapter: 0:0:0\n" + device + "\t\t\tAdapter: 0:1:0\n");
    // A command for a drive that is not there runs against no handle and fails.
    EXPECT_EQ(rig.access->ReadCapacity(0, 5, 0), 0u);
    EXPECT_NE(rig.diagnostics.str().find(" * IOCTL: Error executing SRB.. status: 6\n"), std::string::npos);
}

TEST(CdAccessInit, SpeedTableAndTocDecoding) {
    EXPECT_EQ(ReadSpeedForIndex(0), 65535);
    EXPECT_EQ(ReadSpeedForIndex(1), 176);
    EXPECT_EQ(ReadSpeedForIndex(6), 2800);
    EXPECT_EQ(ReadSpeedForIndex(7), 65535);
    EXPECT_EQ(ReadSpeedForIndex(-3), 65535);
    // A last-track number beyond the answer reads only the descriptors that are there.
    std::vector<std::uint8_t> toc(4 + 8 * 2, 0);
    toc[3] = 99;
    toc[4 + 1] = 0x14;
    toc[4 + 8 + 7] = 0x20;
    const auto entries = DecodeTocAddresses(toc.data(), toc.size());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].dataTrack);
    EXPECT_FALSE(entries[1].dataTrack);
    EXPECT_EQ(entries[1].start, 0x20);
    EXPECT_TRUE(DecodeTocAddresses(toc.data(), 3).empty());
}

TEST(VirtualCdList, ParsesImagesAndFaults) {
    const auto discs = ParseVirtualCdList(" /a/one.bin ; /b/two.bin,bad=10,bad=20-25,notready,attention;");
    ASSERT_TRUE(discs);
    ASSERT_EQ(discs->size(), 2u);
    EXPECT_EQ((*discs)[0].imagePath, "/a/one.bin");
    EXPECT_FALSE((*discs)[0].notReady);
    const auto& two = (*discs)[1];
    ASSERT_EQ(two.badSectors.size(), 2u);
    EXPECT_EQ(two.badSectors[0].first, 10u);
    EXPECT_EQ(two.badSectors[0].last, 10u);
    EXPECT_EQ(two.badSectors[1].last, 25u);
    EXPECT_TRUE(two.notReady);
    EXPECT_TRUE(two.unitAttention);
    std::string why;
    EXPECT_FALSE(ParseVirtualCdList("/a.bin,bad=9-3", &why));
    EXPECT_FALSE(ParseVirtualCdList("/a.bin,scratched", &why));
    EXPECT_NE(why.find("scratched"), std::string::npos);
    EXPECT_FALSE(ParseVirtualCdList(",notready", &why));
    EXPECT_TRUE(ParseVirtualCdList("")->empty());
}

TEST(VirtualCdList, MissingImageIsADriveWithoutDisc) {
    CdRig rig({Disc("/nonexistent/disc.bin")}, kInterfaceModePassThrough);
    ASSERT_TRUE(rig.Init());
    EXPECT_EQ(rig.access->TestUnitReady(0, 0, 0), 0);
    EXPECT_EQ(rig.access->ReadCapacity(0, 0, 0), 0u);
}

}  // namespace
}  // namespace dravolo::test
