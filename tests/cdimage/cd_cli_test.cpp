// dravolo-cli cd, run as a program against virtual drives named in
// DRAVOLO_VIRTUAL_CD.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "common/platform/winfs.h"
#include "tests/cdimage/cd_test_rig.h"

namespace dravolo::test {
namespace {

struct Result {
    int code = -1;
    std::string output;
};

// Runs a shell command: what it wrote on standard output and its exit code.
Result Shell(const std::string& command) {
    Result r;
    FILE* pipe = popen(command.c_str(), "r");
    char chunk[512];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) r.output.append(chunk, got);
    const int status = pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class CdCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        disc.AddTrack(TrackKind::Mode1, 70).AddTrack(TrackKind::Audio, 30);
        image = disc.WriteTo(dir.path(), "game");
    }
    Result Cli(const std::string& virtualCd, const std::string& args) {
        const std::string command = "cd '" + dir.path() + "' && DRAVOLO_VIRTUAL_CD='" + virtualCd + "' '" +
                                    DRAVOLO_CLI_PATH + "' " + args + " 2>&1 </dev/null";
        return Shell(command);
    }
    // Standard output and standard error apart; the command is stopped after
    // `seconds` so that a run that never ends fails instead of hanging.
    Result CliApart(const std::string& virtualCd, const std::string& args, std::string& err, int seconds = 30) {
        const std::string errFile = dir.path() + "/stderr.txt";
        const std::string command = "cd '" + dir.path() + "' && DRAVOLO_VIRTUAL_CD='" + virtualCd + "' timeout " +
                                    std::to_string(seconds) + " '" + DRAVOLO_CLI_PATH + "' " + args + " 2>'" + errFile +
                                    "' </dev/null";
        const Result r = Shell(command);
        const Bytes text = ReadHost(errFile);
        err.assign(text.begin(), text.end());
        return r;
    }
    std::string Text(const std::string& name) const {
        const Bytes bytes = ReadHost(dir.path() + "/" + name);
        return std::string(bytes.begin(), bytes.end());
    }
    bool Exists(const std::string& name) const { return FileExists(dir.path() + "/" + name); }

    TempDir dir;
    DiscBuilder disc;
    std::string image;
};

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(CdCliTest, ListsExtractsAndAnswersQuestions) {
    const std::string drives = image + ";" + image + ",bad=40";
    Result r = Cli(drives, "cd drives");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.output, "0:0:0           DRAVOLO VIRTUAL CD-ROM  1.00\n0:1:0           DRAVOLO VIRTUAL CD-ROM  1.00\n");

    r = Cli(drives, "cd toc 0:0:0");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.output.find(" Tracks: 2\n Sectors: 100\n Interface: IOCTL\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Audio        70"), std::string::npos) << r.output;

    r = Cli(drives, "cd extract 0:0:0 part.bin --sectors 10-5000");
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("Last sector lowered to 99"), std::string::npos);
    EXPECT_EQ(ReadHost(dir.path() + "/part.bin"), disc.Range(10, 99));

    // The file exists now: --no refuses to overwrite it.
    r = Cli(drives, "--no cd extract 0:0:0 part.bin --track 2");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("File already exists. Overwrite File?"), std::string::npos);
    r = Cli(drives, "--yes cd extract 0:0:0 part.bin --track 2");
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(ReadHost(dir.path() + "/part.bin"), disc.Range(70, 99));

    // No to the retry question keeps the chunk before the bad sector.
    r = Cli(drives, "--no cd extract 0:1:0 bad.bin");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("Error reading one or more sectors from 26 to 52"), std::string::npos) << r.output;
    EXPECT_EQ(ReadHost(dir.path() + "/bad.bin"), disc.Range(0, 25));

    r = Cli(drives, "cd extract 0:0:0 whole.bin");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(ReadHost(dir.path() + "/whole.bin"), disc.image());
    EXPECT_FALSE(ReadHost(dir.path() + "/whole.cue").empty());
    r = Cli(drives, "cd extract 0:0:0 nocue.bin --no-cue");
    EXPECT_TRUE(ReadHost(dir.path() + "/nocue.cue").empty());
}

TEST_F(CdCliTest, RefusesWhatItCannotDo) {
    EXPECT_EQ(Cli(image, "cd extract 0:0:0").code, 2);
    EXPECT_EQ(Cli(image, "cd extract 9:9:9 x.bin").code, 2);
    EXPECT_EQ(Cli(image, "cd extract 0:0 x.bin").code, 2);
    EXPECT_EQ(Cli(image, "cd extract 0:0:0 x.bin --speed 52x").code, 2);
    EXPECT_EQ(Cli(image, "cd extract 0:0:0 x.bin --track 1 --read-only").code, 2);
    EXPECT_EQ(Cli(image + ",notready", "cd toc 0:0:0").code, 1);
    Result r = Cli(image, "cd drives --interface aspi");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("Error: Unable to find suitable aspi installation."), std::string::npos);
    EXPECT_NE(r.output.find("Iso Tool Error: Unable to initialize ASPI drivers"), std::string::npos);
    r = Cli(image, "cd extract 0:0:0 --read-only");
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("Read 100 sectors."), std::string::npos);
}

// The CD layer's diagnostics are for standard error: the tables on standard
// output stay clean for scripts, sense lines and all.
TEST_F(CdCliTest, TablesAloneOnStandardOutput) {
    std::string err;
    // Sector 70, the audio track's first, cannot be read: the TOC read logs it.
    Result r = CliApart(image + ",bad=70", "cd toc 0:0:0", err);
    EXPECT_EQ(r.code, 0) << err;
    EXPECT_EQ(r.output,
              " Tracks: 2\n Sectors: 100\n Interface: IOCTL\n 1         Data Mode 1  0\n"
              " 2         Audio        70\n");
    EXPECT_NE(err.find(" * IOCTL Sensekey: 3 11 0\n"), std::string::npos) << err;

    r = CliApart(image, "cd drives --interface aspi", err);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.output, "");
    EXPECT_NE(err.find("Error: Unable to find suitable aspi installation."), std::string::npos) << err;
}

// A disc change leaves a unit attention for the next command; a fresh process
// must still find the drive ready.
TEST_F(CdCliTest, DriveIsReadyAfterADiscChange) {
    std::string err;
    Result r = CliApart(image + ",attention", "cd toc 0:0:0", err);
    EXPECT_EQ(r.code, 0) << err;
    EXPECT_NE(r.output.find(" Tracks: 2\n"), std::string::npos) << r.output << err;
    r = CliApart(image + ",attention", "cd extract 0:0:0 changed.bin", err);
    EXPECT_EQ(r.code, 0) << err;
    EXPECT_EQ(ReadHost(dir.path() + "/changed.bin"), disc.image());
}

// Sector 40 cannot be read: the chunk 26-51 fails each time. Every attempt
// logs three sense lines (the bulk read, its retry, the single sector that
// fails after 26-39 were read).
TEST_F(CdCliTest, UnreadableChunkIsRetriedThenGivenUp) {
    std::string err;
    Result r = CliApart(image + ",bad=40", "--yes cd extract 0:0:0 bad.bin", err, 10);
    EXPECT_EQ(r.code, 1) << err;
    EXPECT_EQ(Count(err, " * IOCTL Sensekey: 3 11 0\n"), 3u * (1 + 3)) << err;  // the default: 3 retries
    EXPECT_NE(err.find("26 to 52"), std::string::npos) << err;
    EXPECT_EQ(ReadHost(dir.path() + "/bad.bin"), disc.Range(0, 25));
    EXPECT_FALSE(Exists("bad.cue"));

    r = CliApart(image + ",bad=40", "--yes cd extract 0:0:0 bad.bin --retries 0", err);
    EXPECT_EQ(r.code, 1) << err;
    EXPECT_EQ(Count(err, " * IOCTL Sensekey: 3 11 0\n"), 3u) << err;
    EXPECT_EQ(ReadHost(dir.path() + "/bad.bin"), disc.Range(0, 25));

    EXPECT_EQ(CliApart(image, "cd extract 0:0:0 x.bin --retries", err).code, 2);
    EXPECT_EQ(CliApart(image, "cd extract 0:0:0 x.bin --retries -1", err).code, 2);
    EXPECT_EQ(CliApart(image, "cd extract 0:0:0 x.bin --retries many", err).code, 2);
}

TEST_F(CdCliTest, SkipBadWritesZerosAndListsTheSectors) {
    std::string err;
    Result r = CliApart(image + ",bad=40,bad=60-61,bad=98", "cd extract 0:0:0 skip.bin --skip-bad", err);
    EXPECT_EQ(r.code, 3) << err;
    Bytes expected = disc.image();
    for (const std::uint32_t s : {40u, 60u, 61u, 98u})
        std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(s * 2352), 2352, 0);
    EXPECT_EQ(ReadHost(dir.path() + "/skip.bin"), expected);
    EXPECT_EQ(Text("skip.bad"), "40\n60\n61\n98\n");
    for (const char* lba : {"40", "60", "61", "98"})
        EXPECT_NE(err.find(std::string("Sector ") + lba + " could not be read"), std::string::npos) << err;
    // The image is whole otherwise: it has its cue sheet.
    EXPECT_NE(Text("skip.cue").find("TRACK 02 AUDIO"), std::string::npos);

    // A clean disc: exit 0, and no list of bad sectors stays behind.
    r = CliApart(image, "--yes cd extract 0:0:0 skip.bin --skip-bad", err);
    EXPECT_EQ(r.code, 0) << err;
    EXPECT_EQ(ReadHost(dir.path() + "/skip.bin"), disc.image());
    EXPECT_FALSE(Exists("skip.bad"));

    // Reading only: the sectors are listed, nothing is written.
    r = CliApart(image + ",bad=5", "cd extract 0:0:0 --read-only --skip-bad", err);
    EXPECT_EQ(r.code, 3) << err;
    EXPECT_NE(err.find("Sector 5 could not be read"), std::string::npos) << err;
}

// The cue sheet is half of the image: the overwrite question covers it, and a
// run that does not finish leaves no sheet describing another image.
TEST_F(CdCliTest, CueSheetBelongsToTheOverwriteQuestion) {
    std::string err;
    EXPECT_TRUE(WriteWholeFileAtomic(dir.path() + "/pair.cue", Bytes{'m', 'i', 'n', 'e'}));
    Result r = CliApart(image, "--no cd extract 0:0:0 pair.bin", err);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Count(err, "File already exists. Overwrite File?"), 1u) << err;
    EXPECT_FALSE(Exists("pair.bin"));
    EXPECT_EQ(Text("pair.cue"), "mine");
    // Without a sheet to write there is nothing to ask.
    r = CliApart(image, "--no cd extract 0:0:0 pair.bin --no-cue", err);
    EXPECT_EQ(r.code, 0) << err;
    EXPECT_EQ(Text("pair.cue"), "mine");

    r = CliApart(image, "--yes cd extract 0:0:0 pair.bin", err);
    EXPECT_EQ(r.code, 0) << err;
    EXPECT_EQ(Count(err, "File already exists. Overwrite File?"), 1u) << err;
    EXPECT_NE(Text("pair.cue").find("FILE \"pair.bin\" BINARY"), std::string::npos);

    // Stopped at an unreadable chunk: the partial image stays, the old sheet goes.
    r = CliApart(image + ",bad=40", "--yes cd extract 0:0:0 pair.bin --retries 0", err);
    EXPECT_EQ(r.code, 1) << err;
    EXPECT_EQ(ReadHost(dir.path() + "/pair.bin"), disc.Range(0, 25));
    EXPECT_FALSE(Exists("pair.cue"));
}

std::string RunTool(const std::string& command) { return Shell(command + " 2>&1").output; }

bool HaveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// An extracted disc as the CD tools of the field see it: cd-info and cdrdao
// read our cue sheet to the same tracks, bchunk cuts the image into the
// tracks' bytes, and our own virtual drive serves it back with the same TOC.
TEST_F(CdCliTest, CdToolsReadTheImageAndItsCueSheet) {
    DiscBuilder mixed;
    mixed.AddTrack(TrackKind::Mode2, 400).AddTrack(TrackKind::Audio, 320);
    const std::string source = mixed.WriteTo(dir.path(), "mixed");
    std::string err;
    Result original = CliApart(source, "cd toc 0:0:0", err);
    ASSERT_EQ(original.code, 0) << err;
    ASSERT_EQ(CliApart(source, "cd extract 0:0:0 copy.bin", err).code, 0) << err;
    ASSERT_EQ(ReadHost(dir.path() + "/copy.bin"), mixed.image());
    EXPECT_EQ(CliApart(dir.path() + "/copy.bin", "cd toc 0:0:0", err).output, original.output);

    for (const char* tool : {"cd-info", "cdrdao", "bchunk"})
        if (!HaveProgram(tool))
            GTEST_SKIP() << tool << " is missing (Debian: apt-get install libcdio-utils cdrdao bchunk)";
    const std::string at = "cd '" + dir.path() + "' && ";

    const std::string info =
        RunTool(at + "cd-info --no-device-info --no-header --no-cddb --no-analyze --cue-file copy.cue");
    EXPECT_NE(info.find("  1: 00:02:00  000000 XA"), std::string::npos) << info;
    EXPECT_NE(info.find("  2: 00:07:25  000400 audio"), std::string::npos) << info;
    EXPECT_NE(info.find("170: 00:11:45  000720 leadout"), std::string::npos) << info;

    const std::string toc = RunTool(at + "cdrdao show-toc copy.cue");
    EXPECT_NE(toc.find("TRACK  1  Mode MODE2_RAW:"), std::string::npos) << toc;
    EXPECT_NE(toc.find("TRACK  2  Mode AUDIO:"), std::string::npos) << toc;
    EXPECT_NE(toc.find("START  00:05:25(   400)"), std::string::npos) << toc;
    EXPECT_NE(toc.find("END    00:09:45(   720)"), std::string::npos) << toc;

    RunTool(at + "bchunk copy.bin copy.cue track");
    // Mode 2 data: the 2048 user bytes after the 24-byte sync, header and
    // subheader of each sector; audio: the raw sectors.
    Bytes data;
    for (std::uint32_t s = 0; s < 400; ++s) {
        const Bytes sector = mixed.Range(s, s);
        data.insert(data.end(), sector.begin() + 24, sector.begin() + 24 + 2048);
    }
    EXPECT_EQ(ReadHost(dir.path() + "/track01.iso"), data);
    EXPECT_EQ(ReadHost(dir.path() + "/track02.cdr"), mixed.Range(400, 719));
}

}  // namespace
}  // namespace dravolo::test
