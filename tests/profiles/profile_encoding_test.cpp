// Byte layout of profile records: what other copies of the program and older
// profiles on disk expect, byte for byte.

#include <gtest/gtest.h>

#include <random>

#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_archive.h"
#include "frontend/profiles/profile_files.h"
#include "tests/support/memory_registry.h"

namespace dravolo {
namespace {

class ProfileEncoding : public ::testing::Test {
protected:
    test::MemoryRegistry registry;
    SettingsStore settings{registry};
};

Bytes Hex(std::string_view hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return out;
}

TEST_F(ProfileEncoding, DefaultEpsxeRecordIsTheKnown150Bytes) {
    const Bytes bytes = EncodeRecord(_EPSXEDATA(settings));
    ASSERT_EQ(bytes.size(), 150u);
    const Bytes head = Hex(
        "02 45 50 01 01 01 00 01 01 00 01 00 05 46 69 72 73 74 0A 41 75 74 6F 64 65 74 65 63 74 00 00 00 00 00 1E ");
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 35), head);
    EXPECT_EQ(std::string(bytes.begin() + 35, bytes.begin() + 65), "c:\\epsxe\\memcards\\epsxe000.mcr");
    const Bytes tail = Hex("01 00 00 00 01 01 20 01 20 ");
    EXPECT_EQ(Bytes(bytes.begin() + 96, bytes.begin() + 105), tail);
    for (int i = 0; i < 5; ++i) {
        const auto at = bytes.begin() + 105 + 9 * i;
        EXPECT_EQ(*at, 8);
        EXPECT_EQ(std::string(at + 1, at + 9), "RESERVED");
    }
}

TEST_F(ProfileEncoding, TextLengthPrefixesAtTheirBoundaries) {
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        ProfileArchive out = ProfileArchive::ForStoring();
        std::string text(c.length, 'x');
        out.Text(text);
        const Bytes& bytes = out.bytes();
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(c.prefix.size())), c.prefix) << c.length;

        ProfileArchive in = ProfileArchive::ForLoading(bytes);
        std::string back;
        in.Text(back);
        EXPECT_TRUE(in.ok());
        EXPECT_EQ(back, text);
    }
    // A two-byte 0xFFFE length (never written, but a valid reading) is accepted.
    Bytes odd = {0xFF, 0xFE, 0xFF};
    odd.insert(odd.end(), 0xFFFE, 'y');
    ProfileArchive in = ProfileArchive::ForLoading(odd);
    std::string back;
    in.Text(back);
    EXPECT_TRUE(in.ok());
    EXPECT_EQ(back.size(), 0xFFFEu);
}

TEST_F(ProfileEncoding, EveryKindRoundTripsChangedFields) {
    _EPSXEDATA e(settings);
    e.CdromLetter = "D";
    e.SoundEnabled = 0;
    e.Properties.Description = "Crash, PAL";
    _EPSXEDATA e2(settings);
    ASSERT_TRUE(DecodeRecord(EncodeRecord(e), e2));
    EXPECT_EQ(e2.CdromLetter, "D");
    EXPECT_EQ(e2.SoundEnabled, 0);
    EXPECT_EQ(e2.Properties.Description, "Crash, PAL");

    _FPSEDATA f(settings);
    f.CDCacheSize = -5;
    f.CDStreamSpeed = 3;
    f.SpareFlag2 = 1;
    f.LasPAD2 = "pad2.dll";
    _FPSEDATA f2(settings);
    ASSERT_TRUE(DecodeRecord(EncodeRecord(f), f2));
    EXPECT_EQ(f2.CDCacheSize, -5);
    EXPECT_EQ(f2.CDStreamSpeed, 3);
    EXPECT_EQ(f2.SpareFlag2, 1);
    EXPECT_EQ(f2.LasPAD2, "pad2.dll");

    _PSINEXDATA p(settings);
    p.CpuMode = 1;
    p.CdRom = "cdr.dll";
    _PSINEXDATA p2(settings);
    ASSERT_TRUE(DecodeRecord(EncodeRecord(p), p2));
    EXPECT_EQ(p2.CpuMode, 1);
    EXPECT_EQ(p2.CdRom, "cdr.dll");

    _ADRIPSXDATA a(settings);
    a.CPUtype = 1;
    a.Memcard2 = "x.mcr";
    _ADRIPSXDATA a2(settings);
    ASSERT_TRUE(DecodeRecord(EncodeRecord(a), a2));
    EXPECT_EQ(a2.CPUtype, 1);
    EXPECT_EQ(a2.Memcard2, "x.mcr");
}

TEST_F(ProfileEncoding, PcsxFixFlagsFollowTheProperties) {
    _PCSXDATA record(settings);
    record.CdTiming = 1;
    record.RcntFix = 0;
    const Bytes bytes = EncodeRecord(record);
    // Record part: flags, int, texts, properties, then the two fixes; then 45 trailer bytes.
    const std::size_t recordEnd = bytes.size() - 45;
    EXPECT_EQ(bytes[recordEnd - 2], 1);
    EXPECT_EQ(bytes[recordEnd - 1], 0);
    EXPECT_EQ(bytes[recordEnd - 3], ' ');  // BitmapFile " "
    _PCSXDATA back(settings);
    ASSERT_TRUE(DecodeRecord(bytes, back));
    EXPECT_EQ(back.CdTiming, 1);
}

TEST_F(ProfileEncoding, SecondAutoPpfLoadCopyWins) {
    _EPSXEDATA record(settings);
    Bytes bytes = EncodeRecord(record);
    // First copy is the 8th flag after the 3-byte tag; the second sits at offset 96.
    ASSERT_EQ(bytes[3 + 7], 1);
    ASSERT_EQ(bytes[96], 1);
    bytes[3 + 7] = 0;
    _EPSXEDATA first(settings);
    ASSERT_TRUE(DecodeRecord(bytes, first));
    EXPECT_EQ(first.AutoPpfLoad, 1);
    bytes[3 + 7] = 1;
    bytes[96] = 0;
    _EPSXEDATA second(settings);
    ASSERT_TRUE(DecodeRecord(bytes, second));
    EXPECT_EQ(second.AutoPpfLoad, 0);
}

TEST_F(ProfileEncoding, ShortInputFailsAndLeavesTheRecordAlone) {
    _EPSXEDATA source(settings);
    source.Properties.Description = "kept?";
    const Bytes full = EncodeRecord(source);
    for (std::size_t length = 0; length < full.size(); ++length) {
        _EPSXEDATA target(settings);
        target.BiosName = "untouched";
        const bool ok = DecodeRecord(std::span(full.data(), length), target);
        // The record part is 105 + 5 bytes longer description; the trailer is never read.
        EXPECT_EQ(ok, length >= full.size() - 45) << length;
        if (!ok) {
            EXPECT_EQ(target.BiosName, "untouched") << length;
        }
    }
}

TEST_F(ProfileEncoding, RandomAndOversizedInputNeverCrashes) {
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        Bytes junk(random() % 400);
        for (auto& b : junk) b = static_cast<std::uint8_t>(random());
        if (round % 3 == 0 && !junk.empty()) junk[0] = 0xFF;  // long length prefixes
        _EPSXEDATA e(settings);
        _FPSEDATA f(settings);
        _PCSXDATA p(settings);
        DecodeRecord(junk, e);
        DecodeRecord(junk, f);
        DecodeRecord(junk, p);
    }
    // A length claiming 4 GiB with nothing behind it.
    const Bytes huge = {0x02, 'E', 'P', 1, 1, 1, 1, 1, 1, 1, 1, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    _EPSXEDATA e(settings);
    EXPECT_FALSE(DecodeRecord(huge, e));
}

TEST_F(ProfileEncoding, DefaultsFollowTheInstallPathAtConstruction) {
    _PCSXDATA before(settings);
    EXPECT_EQ(before.Mcd1, "c:\\pcsx\\memcards\\Mcd001.mcr");
    settings.SetString("PcsxPath", "d:\\emu\\pcsx\\");
    _PCSXDATA after(settings);
    EXPECT_EQ(after.Mcd1, "d:\\emu\\pcsx\\memcards\\Mcd001.mcr");
    EXPECT_EQ(after.Mcd2, "d:\\emu\\pcsx\\memcards\\Mcd002.mcr");
    // A loaded profile keeps its stored paths whatever the setting says now.
    _PCSXDATA loaded(settings);
    ASSERT_TRUE(DecodeRecord(EncodeRecord(before), loaded));
    EXPECT_EQ(loaded.Mcd1, "c:\\pcsx\\memcards\\Mcd001.mcr");

    EXPECT_EQ(_EPSXEDATA(settings).Memcard2, "c:\\epsxe\\memcards\\epsxe001.mcr");
    EXPECT_EQ(_FPSEDATA(settings).MemCard1, "c:\\fpse\\memcards\\mcdslot1.mcd");
    EXPECT_EQ(_PSINEXDATA(settings).MemCard2, "c:\\psinex\\memcards\\mc2.mem");
    EXPECT_EQ(_ADRIPSXDATA(settings).Memcard1, "");
    EXPECT_EQ(_EPSXEDATA(settings).Properties.Description, " ");
}

}  // namespace
}  // namespace dravolo
