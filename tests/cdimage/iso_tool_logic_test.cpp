// The ISO tool's rules: job ranges per mode and the texts it shows.

#include <gtest/gtest.h>

#include "frontend/cdimage/iso_tool_logic.h"

namespace dravolo::test {
namespace {

std::vector<TocEntry> ThreeTracks() { return {{0, 0, 2, true}, {1, 1000, 0, false}, {2, 1500, 0, false}}; }

TEST(JobRange, Modes) {
    const auto toc = ThreeTracks();
    auto whole = ComputeJobRange(ExtractMode::CreateBinaryImage, 0, 0, 0, toc, 2000);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->first, 0);
    EXPECT_EQ(whole->last, 1999);
    // An unreadable capacity: the empty range 0 to -1.
    auto none = ComputeJobRange(ExtractMode::ReadOnly, 0, 0, 0, toc, 0);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->last, -1);

    auto second = ComputeJobRange(ExtractMode::SelectTrack, 2, 0, 0, toc, 2000);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->first, 1000);
    EXPECT_EQ(second->last, 1499);
    EXPECT_FALSE(second->correctedTrack);
    // 5 on a disc of 3 tracks: track 3 to the end, and 3 goes back to the field.
    auto beyond = ComputeJobRange(ExtractMode::SelectTrack, 5, 0, 0, toc, 2000);
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->first, 1500);
    EXPECT_EQ(beyond->last, 1999);
    EXPECT_EQ(beyond->correctedTrack, 3);
    EXPECT_FALSE(ComputeJobRange(ExtractMode::SelectTrack, 0, 0, 0, toc, 2000));
    EXPECT_FALSE(ComputeJobRange(ExtractMode::SelectTrack, 1, 0, 0, {}, 2000));
    // One track: the whole disc.
    auto single = ComputeJobRange(ExtractMode::SelectTrack, 1, 0, 0, {toc[0]}, 2000);
    ASSERT_TRUE(single);
    EXPECT_EQ(single->last, 1999);

    auto sectors = ComputeJobRange(ExtractMode::SelectSector, 0, 10, 5000, toc, 2000);
    ASSERT_TRUE(sectors);
    EXPECT_EQ(sectors->first, 10);
    EXPECT_EQ(sectors->last, 1999);
    EXPECT_EQ(sectors->correctedTo, 1999);
    EXPECT_FALSE(ComputeJobRange(ExtractMode::SelectSector, 0, 10, 9, toc, 2000));
    EXPECT_FALSE(ComputeJobRange(ExtractMode::SelectSector, 0, 2500, 3000, toc, 2000));
    EXPECT_FALSE(ComputeJobRange(ExtractMode::SelectSector, 0, -5, 3, toc, 2000));
    auto one = ComputeJobRange(ExtractMode::SelectSector, 0, 7, 7, toc, 2000);
    ASSERT_TRUE(one);
    EXPECT_FALSE(one->correctedTo);
}

TEST(IsoToolTexts, ListsAndInformation) {
    EXPECT_EQ(InterfaceChoices(WindowsFamily::Win9x), std::vector<std::string>{"ASPI"});
    EXPECT_EQ(InterfaceChoices(WindowsFamily::NT), (std::vector<std::string>{"Auto", "ASPI", "IOCTL"}));
    EXPECT_EQ(InterfaceModeForChoice("ASPI"), 1);
    EXPECT_EQ(InterfaceModeForChoice("IOCTL"), 3);
    EXPECT_EQ(InterfaceName("Auto", 3), "IOCTL");
    EXPECT_EQ(InterfaceName("ASPI", 3), "ASPI");
    EXPECT_EQ(DriveListEntry({1, 2, 0, " ", "PLEXTOR CD-R   PX-W4012A1.0"}),
              "1:2:0           PLEXTOR CD-R   PX-W4012A1.0");
    EXPECT_EQ(DiscInformation(3, 2000, "IOCTL"), "\n Tracks: 3\n Sectors: 2000\n Interface: IOCTL\n");
    EXPECT_EQ(TrackModeName(0), "Audio");
    EXPECT_EQ(TrackModeName(2), "Data Mode 2");
    EXPECT_EQ(SpeedIndexForChoice(0), 7);
    EXPECT_EQ(SpeedIndexForChoice(6), 1);
    EXPECT_EQ(ThreadPriorityForChoice(0), -15);
    EXPECT_EQ(ThreadPriorityForChoice(4), 15);
}

}  // namespace
}  // namespace dravolo::test
