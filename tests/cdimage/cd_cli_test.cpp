// dravolo-cli cd, run as a program against virtual drives named in
// DRAVOLO_VIRTUAL_CD.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/cdimage/cd_test_rig.h"

namespace dravolo::test {
namespace {

struct Result {
    int code = -1;
    std::string output;
};

class CdCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        disc.AddTrack(TrackKind::Mode1, 70).AddTrack(TrackKind::Audio, 30);
        image = disc.WriteTo(dir.path(), "game");
    }
    Result Cli(const std::string& virtualCd, const std::string& args) {
        const std::string command = "cd '" + dir.path() + "' && DRAVOLO_VIRTUAL_CD='" + virtualCd + "' '" +
                                    DRAVOLO_CLI_PATH + "' " + args + " 2>&1 </dev/null";
        Result r;
        FILE* pipe = popen(command.c_str(), "r");
        char chunk[512];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) r.output.append(chunk, got);
        const int status = pclose(pipe);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r;
    }
    TempDir dir;
    DiscBuilder disc;
    std::string image;
};

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

}  // namespace
}  // namespace dravolo::test
