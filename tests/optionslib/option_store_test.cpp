#include <gtest/gtest.h>

#include "optionslib/core/option_store.h"
#include "tests/support/memory_registry.h"

namespace dravolo::kstuff {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

TEST(OptionValueMapping, DriveLetterEntries) {
    const auto entries = CdDriveEntries();
    ASSERT_EQ(entries.size(), 27u);
    EXPECT_EQ(entries[0], "First");
    EXPECT_EQ(entries[4], "D:");
    EXPECT_EQ(entries[26], "Z:");

    EXPECT_EQ(entries[CdDriveEntryForLetter(68)], "D:");
    EXPECT_EQ(LetterForCdDriveEntry(4), 68u);
    EXPECT_EQ(LetterForCdDriveEntry(0), 0u);
    EXPECT_EQ(CdDriveEntryForLetter('A'), 1);
    EXPECT_EQ(CdDriveEntryForLetter('Z'), 26);
    // Values that name no drive fall back to "First" rather than to no choice,
    // which would store a meaningless letter on OK.
    for (std::uint32_t odd : {0u, 1u, 64u, 91u, 100u, 0xFFFFFFFFu}) EXPECT_EQ(CdDriveEntryForLetter(odd), 0) << odd;
    EXPECT_EQ(LetterForCdDriveEntry(-1), 0u);
    EXPECT_EQ(LetterForCdDriveEntry(27), 0u);
}

TEST(OptionValueMapping, CountryEntries) {
    EXPECT_EQ(CountryEntryForValue(0), 1);
    EXPECT_EQ(CountryEntryForValue(1), 2);
    for (std::uint32_t other : {2u, 255u, 7u}) EXPECT_EQ(CountryEntryForValue(other), 0) << other;
    EXPECT_EQ(CountryValueForEntry(0), 255u);
    EXPECT_EQ(CountryValueForEntry(-1), 255u);
    EXPECT_EQ(CountryValueForEntry(1), 0u);
    EXPECT_EQ(CountryValueForEntry(2), 1u);
    // Country 2 shows "Autodetect" and is stored back as 255.
    EXPECT_EQ(CountryValueForEntry(CountryEntryForValue(2)), 255u);
}

TEST(LoadDialogOptions, MissingKeyGivesDefaultsAndTouchesNothing) {
    test::MemoryRegistry registry;
    const OptionValues values = LoadDialogOptions(registry);
    EXPECT_EQ(values.cmdLine, "");
    EXPECT_EQ(values.bios, "");
    for (bool on : values.switches) EXPECT_FALSE(on);
    EXPECT_EQ(values.cdromLetter, 0u);
    EXPECT_EQ(values.country, 255u);
    EXPECT_FALSE(registry.KeyExists(kUser, kInterfaceKey));
    EXPECT_FALSE(registry.KeyExists(kUser, kEmulatorKey));
    EXPECT_EQ(registry.commits, 0);
}

TEST(LoadDialogOptions, ReadsStoredValuesAndPutsPadsInPlace) {
    test::MemoryRegistry registry;
    RegBatch setup;
    setup.SetString(kUser, kInterfaceKey, "CmdLine", "-slowboot");
    setup.SetString(kUser, kInterfaceKey, "BIOS", "D:\\mine\\scph1001.bin");
    setup.SetDword(kUser, kInterfaceKey, "SoundXA", 1);
    setup.SetDword(kUser, kInterfaceKey, "SubchannelCachingLG", 1);
    setup.SetDword(kUser, kInterfaceKey, "StartGui", 0);
    setup.SetDword(kUser, kInterfaceKey, "CdromLetter", 68);
    setup.SetDword(kUser, kInterfaceKey, "Country", 1);
    setup.SetString(kUser, kInterfaceKey, "Pad1", "axis");
    setup.SetValue(kUser, kInterfaceKey, "Pad7", kRegBinary, Bytes{'k', '1', 0, 'x', 'y'});
    setup.SetString(kUser, kInterfaceKey, "Pad11", std::string(kMaxTextLength + 1, 'm'));
    setup.SetString(kUser, kEmulatorKey, "Multitap1", "keep");
    ASSERT_TRUE(registry.Commit(setup));
    registry.commits = 0;

    const OptionValues values = LoadDialogOptions(registry);
    EXPECT_EQ(values.cmdLine, "-slowboot");
    EXPECT_EQ(values.bios, "D:\\mine\\scph1001.bin");
    EXPECT_TRUE(values.switches[kSoundXA]);
    EXPECT_TRUE(values.switches[kSubchannelCachingLG]);
    EXPECT_FALSE(values.switches[kSoundEnabled]);
    EXPECT_FALSE(values.switches[kStartGui]);
    EXPECT_EQ(values.cdromLetter, 68u);
    EXPECT_EQ(values.country, 1u);

    // Pads go to ePSXe's key as strings up to the first NUL, in one batch; an
    // over-long one is not copied and ePSXe's value stays as it was.
    EXPECT_EQ(registry.commits, 1);
    auto axis = registry.QueryValue(kUser, kEmulatorKey, "GamepadAxis");
    ASSERT_TRUE(axis);
    EXPECT_EQ(axis->type, kRegSz);
    EXPECT_EQ(axis->data, RegSzData("axis"));
    auto keys = registry.QueryValue(kUser, kEmulatorKey, "Keys1");
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->type, kRegSz);
    EXPECT_EQ(keys->data, RegSzData("k1"));
    EXPECT_EQ(registry.QueryString(kUser, kEmulatorKey, "Multitap1"), "keep");
    EXPECT_FALSE(registry.QueryValue(kUser, kEmulatorKey, "Keys2"));
}

TEST(LoadDialogOptions, OverLongTextIsLeftAtItsDefaultNotCut) {
    test::MemoryRegistry registry;
    registry.SetString(kUser, kInterfaceKey, "CmdLine", std::string(kMaxTextLength + 1, 'c'));
    registry.SetString(kUser, kInterfaceKey, "BIOS", std::string(kMaxTextLength, 'b'));
    const OptionValues values = LoadDialogOptions(registry);
    EXPECT_EQ(values.cmdLine, "");
    EXPECT_EQ(values.bios, std::string(kMaxTextLength, 'b'));
}

TEST(SaveDialogOptions, WritesEveryOptionWithItsTypeInOneBatch) {
    test::MemoryRegistry registry;
    OptionValues values;
    values.bios = "C:\\typed\\by hand.bin";
    values.cmdLine = "-analog";
    values.switches[kSoundEnabled] = true;
    values.switches[kAutoPPF] = true;
    values.cdromLetter = LetterForCdDriveEntry(4);
    values.country = CountryValueForEntry(0);
    ASSERT_TRUE(SaveDialogOptions(registry, values));
    EXPECT_EQ(registry.commits, 1);

    const auto stored = registry.EnumValues(kUser, kInterfaceKey);
    ASSERT_TRUE(stored);
    std::vector<std::string> order;
    for (const auto& v : *stored) order.push_back(v.name);
    const std::vector<std::string> expected = {"Country",
                                               "SoundEnabled",
                                               "SoundCDDA",
                                               "SoundXA",
                                               "SoundSpuIrq",
                                               "SubchannelCdromEnabled",
                                               "SubchannelCaching",
                                               "SubchannelCachingLG",
                                               "AutoPPF",
                                               "StartGui",
                                               "CdromLetter",
                                               "BIOS",
                                               "CmdLine"};
    EXPECT_EQ(order, expected);
    for (const auto& v : *stored) {
        const bool text = v.name == "BIOS" || v.name == "CmdLine";
        EXPECT_EQ(v.type, text ? kRegSz : kRegDword) << v.name;
    }
    EXPECT_EQ(registry.QueryDword(kUser, kInterfaceKey, "Country"), 255u);
    EXPECT_EQ(registry.QueryDword(kUser, kInterfaceKey, "CdromLetter"), 68u);
    EXPECT_EQ(registry.QueryDword(kUser, kInterfaceKey, "SoundEnabled"), 1u);
    EXPECT_EQ(registry.QueryDword(kUser, kInterfaceKey, "SoundCDDA"), 0u);
    EXPECT_EQ(registry.QueryDword(kUser, kInterfaceKey, "AutoPPF"), 1u);

    // What was saved comes back the same way.
    const OptionValues reloaded = LoadDialogOptions(registry);
    EXPECT_EQ(reloaded.bios, values.bios);
    EXPECT_EQ(reloaded.cmdLine, values.cmdLine);
    EXPECT_EQ(reloaded.switches, values.switches);
    EXPECT_EQ(reloaded.cdromLetter, 68u);
    EXPECT_EQ(reloaded.country, 255u);
}

TEST(SaveDialogOptions, CapturesEmulatorPadsAndKeepsThemWhenItsKeyIsMissing) {
    test::MemoryRegistry registry;
    registry.SetString(kUser, kInterfaceKey, "Pad6", "old type");
    registry.SetString(kUser, kInterfaceKey, "Pad8", "old keys2");

    // No emulator key: the Pad values keep their contents.
    ASSERT_TRUE(SaveDialogOptions(registry, OptionValues{}));
    EXPECT_EQ(registry.QueryString(kUser, kInterfaceKey, "Pad6"), "old type");
    EXPECT_EQ(registry.QueryString(kUser, kInterfaceKey, "Pad8"), "old keys2");
    EXPECT_FALSE(registry.KeyExists(kUser, kEmulatorKey));

    // The user set pads in ePSXe: present values are copied, created when new,
    // as strings whatever their type; absent ones leave the Pad value alone.
    RegBatch emulator;
    emulator.SetString(kUser, kEmulatorKey, "GamepadType", "4");
    emulator.SetValue(kUser, kEmulatorKey, "Keys4", kRegDword, RegDwordData('7'));
    emulator.SetString(kUser, kEmulatorKey, "Multitap1", "1");
    ASSERT_TRUE(registry.Commit(emulator));
    ASSERT_TRUE(SaveDialogOptions(registry, OptionValues{}));
    EXPECT_EQ(registry.QueryString(kUser, kInterfaceKey, "Pad6"), "4");
    EXPECT_EQ(registry.QueryString(kUser, kInterfaceKey, "Pad8"), "old keys2");
    auto keys4 = registry.QueryValue(kUser, kInterfaceKey, "Pad10");
    ASSERT_TRUE(keys4);
    EXPECT_EQ(keys4->type, kRegSz);
    EXPECT_EQ(keys4->data, RegSzData("7"));
    EXPECT_EQ(registry.QueryString(kUser, kInterfaceKey, "Pad11"), "1");
}

TEST(SaveDialogOptions, ReportsAStoreThatCannotBeWritten) {
    test::MemoryRegistry registry;
    registry.failWrites = true;
    EXPECT_FALSE(SaveDialogOptions(registry, OptionValues{}));
}

}  // namespace
}  // namespace dravolo::kstuff
