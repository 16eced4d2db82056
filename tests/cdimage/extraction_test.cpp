// The extraction worker over a virtual drive: chunking, the bytes written
// (also across the writer's batches), cancel, retry, a failing write, the
// read-only worker and the cue sheet.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "common/platform/winfs.h"
#include "frontend/cdimage/cue_sheet.h"
#include "frontend/cdimage/image_writer.h"
#include "tests/cdimage/cd_test_rig.h"

namespace dravolo::test {
namespace {

class ExtractionTest : public ::testing::Test {
protected:
    void SetUp() override {
        disc.AddTrack(TrackKind::Mode2, 120).AddTrack(TrackKind::Audio, 60);
        imagePath = disc.WriteTo(images.path(), "disc");
    }
    VirtualDisc Disc() const {
        VirtualDisc setup;
        setup.imagePath = imagePath;
        return setup;
    }
    ExtractionOutcome Run(CdRig& rig, std::int32_t first, std::int32_t last, bool write = true) {
        job.firstSector = first;
        job.lastSector = last;
        job.imageFile = out;
        return RunExtraction(*rig.access, job, write, rig.prompter, observer);
    }
    std::vector<Cdb> ReadCds(const CdRig& rig) const {
        std::vector<Cdb> reads;
        for (const Cdb& c : rig.Commands())
            if (c[0] == 0xBE) reads.push_back(c);
        return reads;
    }

    TempDir images;
    DiscBuilder disc;
    std::string imagePath;
    std::string out = images.path() + "/out.bin";
    ExtractionJob job;
    RecordingObserver observer;
};

TEST_F(ExtractionTest, ChunksAndRemainderGiveTheExactRange) {
    struct Case {
        std::int32_t first, last;
        int chunks, remainder, progressMax;
    };
    // 30 sectors: a chunk and 4; 26: one chunk; 10: only the remainder, progress 0 to 0.
    for (const Case c :
         {Case{5, 34, 1, 4, 26}, Case{40, 65, 1, 0, 26}, Case{100, 109, 0, 10, 0}, Case{0, 179, 6, 24, 156}}) {
        CdRig rig({Disc()});
        ASSERT_TRUE(rig.Init());
        observer = RecordingObserver();
        ASSERT_EQ(Run(rig, c.first, c.last), ExtractionOutcome::Completed);
        EXPECT_EQ(ReadHost(out), disc.Range(static_cast<std::uint32_t>(c.first), static_cast<std::uint32_t>(c.last)));
        std::vector<Cdb> expected{ReadCdBlock(0, 26)};  // the spin-up read
        for (int i = 0; i < c.chunks; ++i)
            expected.push_back(ReadCdBlock(static_cast<std::uint32_t>(c.first + 26 * i), 26));
        if (c.remainder)
            expected.push_back(ReadCdBlock(static_cast<std::uint32_t>(c.first + 26 * c.chunks),
                                           static_cast<std::uint8_t>(c.remainder)));
        EXPECT_EQ(ReadCds(rig), expected) << c.first << "-" << c.last;
        EXPECT_EQ(observer.rangeMin, 0);
        EXPECT_EQ(observer.rangeMax, c.progressMax);
        EXPECT_EQ(observer.step, 26);
        EXPECT_EQ(observer.steps, c.chunks);
        EXPECT_EQ(observer.finished, 1);
        EXPECT_EQ(observer.lastPos, 0);
        EXPECT_FALSE(job.running);
        EXPECT_TRUE(rig.prompter.messages.empty());
    }
}

TEST_F(ExtractionTest, CancelYesDeletesThePartialImage) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    observer.onStep = [&](int steps) {
        if (steps == 2) job.cancel = true;
    };
    rig.prompter.answers = {PromptAnswer::Yes};
    EXPECT_EQ(Run(rig, 0, 179), ExtractionOutcome::Cancelled);
    ASSERT_EQ(rig.prompter.messages.size(), 1u);
    EXPECT_EQ(rig.prompter.messages[0].text, "Cancel Cdrom Extraction?\n");
    EXPECT_EQ(rig.prompter.messages[0].caption, "ISO Tool");
    EXPECT_EQ(rig.prompter.messages[0].buttons, PromptButtons::YesNo);
    EXPECT_FALSE(FileExists(out));
    EXPECT_FALSE(job.cancel);
    EXPECT_EQ(observer.finished, 1);
}

TEST_F(ExtractionTest, CancelNoGoesOnWithoutLosingTheChunk) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    observer.onStep = [&](int steps) {
        if (steps == 1) job.cancel = true;
    };
    rig.prompter.answers = {PromptAnswer::No};
    EXPECT_EQ(Run(rig, 0, 179), ExtractionOutcome::Completed);
    EXPECT_EQ(rig.prompter.messages.size(), 1u);
    EXPECT_EQ(ReadHost(out), disc.image());
}

TEST_F(ExtractionTest, ConfirmedCancelDoesNotAskAgain) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    job.cancel = true;
    job.cancelConfirmed = true;
    EXPECT_EQ(Run(rig, 0, 179), ExtractionOutcome::Cancelled);
    EXPECT_TRUE(rig.prompter.messages.empty());
    EXPECT_FALSE(job.cancelConfirmed);
}

TEST_F(ExtractionTest, RetryNoKeepsWhatWasWritten) {
    VirtualDisc setup = Disc();
    setup.badSectors.push_back({60, 60});
    CdRig rig({setup});
    ASSERT_TRUE(rig.Init());
    rig.prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
    EXPECT_EQ(Run(rig, 0, 179), ExtractionOutcome::StoppedOnReadError);
    ASSERT_EQ(rig.prompter.messages.size(), 2u);
    EXPECT_EQ(rig.prompter.messages[0].text, "Error reading one or more sectors from 52 to 78\nDo you want to retry?");
    // Yes read the same chunk again (bulk twice, then sectors 52-60) before No.
    const auto reads = ReadCds(rig);
    const auto bulkAt52 = std::count(reads.begin(), reads.end(), ReadCdBlock(52, 26));
    EXPECT_EQ(bulkAt52, 4);
    EXPECT_EQ(ReadHost(out), disc.Range(0, 51));
    EXPECT_EQ(observer.finished, 1);
}

TEST_F(ExtractionTest, UnreadableRemainderIsAskedAboutNotWrittenBlindly) {
    VirtualDisc setup = Disc();
    setup.badSectors.push_back({178, 178});
    CdRig rig({setup});
    ASSERT_TRUE(rig.Init());
    rig.prompter.answers = {PromptAnswer::No};
    EXPECT_EQ(Run(rig, 0, 179), ExtractionOutcome::StoppedOnReadError);
    ASSERT_EQ(rig.prompter.messages.size(), 1u);
    EXPECT_EQ(rig.prompter.messages[0].text,
              "Error reading one or more sectors from 156 to 180\nDo you want to retry?");
    EXPECT_EQ(ReadHost(out), disc.Range(0, 155));
}

TEST_F(ExtractionTest, ReadOnlyWorkerWritesNothing) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    job.cancel = false;
    EXPECT_EQ(Run(rig, 0, 179, false), ExtractionOutcome::Completed);
    EXPECT_FALSE(FileExists(out));
    EXPECT_EQ(ReadCds(rig).size(), 1u + 6u + 1u);
    observer = RecordingObserver();
    observer.onStep = [&](int) { job.cancel = true; };
    rig.prompter.answers = {PromptAnswer::Yes};
    job.imageFile.clear();
    EXPECT_EQ(RunExtraction(*rig.access, job, false, rig.prompter, observer), ExtractionOutcome::Cancelled);
}

TEST_F(ExtractionTest, UnreadableCapacityGivesAnEmptyImage) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    EXPECT_TRUE(WriteWholeFileAtomic(out, Bytes(100, 1)));
    EXPECT_EQ(Run(rig, 0, -1), ExtractionOutcome::EmptyRange);
    EXPECT_TRUE(FileExists(out));
    EXPECT_EQ(FileSize(out), 0u);
    EXPECT_EQ(observer.finished, 1);
}

TEST_F(ExtractionTest, MissingNameOrFolderEndsTheWorker) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    job.lastSector = 10;
    job.imageFile.clear();
    EXPECT_EQ(RunExtraction(*rig.access, job, true, rig.prompter, observer), ExtractionOutcome::NotStarted);
    EXPECT_EQ(observer.finished, 1);
    out = images.path() + "/no/such/folder/out.bin";
    EXPECT_EQ(Run(rig, 0, 10), ExtractionOutcome::FileNotCreated);
    ASSERT_EQ(rig.prompter.messages.size(), 1u);
    EXPECT_EQ(rig.prompter.messages[0].text, "Cannot Open File.");
    EXPECT_EQ(observer.finished, 2);
    EXPECT_FALSE(job.running);
}

TEST_F(ExtractionTest, WholeDiscGetsACueSheet) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    ASSERT_EQ(rig.access->ReadToc(0, 0, 0), 1);
    job.cueTracks = rig.access->Toc();
    EXPECT_EQ(Run(rig, 0, 179), ExtractionOutcome::Completed);
    const Bytes cue = ReadHost(images.path() + "/out.cue");
    EXPECT_EQ(std::string(cue.begin(), cue.end()),
              "FILE \"out.bin\" BINARY\r\n"
              "  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n"
              "  TRACK 02 AUDIO\r\n    INDEX 01 00:01:45\r\n");
}

// A disc of two batches of 16 chunks, one chunk and a remainder of 4, so the
// image goes to the file in several writes.
class BatchedExtractionTest : public ExtractionTest {
protected:
    static constexpr std::uint32_t kBatchSectors = ImageBatchWriter::kChunksPerBatch * kChunkSectors;
    static constexpr std::uint32_t kSectors = 2 * kBatchSectors + 26 + 4;
    void SetUp() override {
        disc = DiscBuilder();
        disc.AddTrack(TrackKind::Mode1, kSectors);
        imagePath = disc.WriteTo(images.path(), "big");
    }
};

TEST_F(BatchedExtractionTest, BatchesAddUpToTheExactImage) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    ASSERT_EQ(Run(rig, 0, kSectors - 1), ExtractionOutcome::Completed);
    EXPECT_EQ(ReadHost(out), disc.image());
    EXPECT_EQ(observer.steps, static_cast<int>(kSectors / 26));
    // Starting off a chunk boundary, ending inside the second batch.
    ASSERT_EQ(Run(rig, 3, kBatchSectors + 40), ExtractionOutcome::Completed);
    EXPECT_EQ(ReadHost(out), disc.Range(3, kBatchSectors + 40));
}

TEST_F(BatchedExtractionTest, StopAndCancelAfterAWrittenBatch) {
    // No to the retry in the second batch keeps the first batch and the chunk
    // read since, which were not written yet.
    VirtualDisc bad = Disc();
    bad.badSectors.push_back({kBatchSectors + 30, kBatchSectors + 30});
    CdRig stopped({bad});
    ASSERT_TRUE(stopped.Init());
    stopped.prompter.answers = {PromptAnswer::No};
    EXPECT_EQ(Run(stopped, 0, kSectors - 1), ExtractionOutcome::StoppedOnReadError);
    EXPECT_EQ(ReadHost(out), disc.Range(0, kBatchSectors + 25));

    // A cancel after a batch reached the file still leaves no file.
    CdRig cancelled({Disc()});
    ASSERT_TRUE(cancelled.Init());
    observer = RecordingObserver();
    observer.onStep = [&](int steps) {
        if (steps == static_cast<int>(ImageBatchWriter::kChunksPerBatch) + 1) job.cancel = true;
    };
    cancelled.prompter.answers = {PromptAnswer::Yes};
    EXPECT_EQ(Run(cancelled, 0, kSectors - 1), ExtractionOutcome::Cancelled);
    EXPECT_FALSE(FileExists(out));
}

#ifndef _WIN32
// The file size limit stands in for a full disk.
TEST_F(BatchedExtractionTest, WriteFailureTellsAndLeavesNoPartialImage) {
    CdRig rig({Disc()});
    ASSERT_TRUE(rig.Init());
    // The file may grow to one and a half batches: the second batch's write fails.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = ImageBatchWriter::kBatchSize * 3 / 2;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ExtractionOutcome outcome = Run(rig, 0, kSectors - 1);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(outcome, ExtractionOutcome::WriteFailed);
    ASSERT_EQ(rig.prompter.messages.size(), 1u);
    EXPECT_EQ(rig.prompter.messages[0].text, "Error writing the image file.\n");
    EXPECT_EQ(rig.prompter.messages[0].caption, "ISO Tool");
    EXPECT_FALSE(FileExists(out));
    EXPECT_FALSE(FileExists(images.path() + "/out.cue"));
    EXPECT_EQ(observer.finished, 1);
    EXPECT_FALSE(job.running);
}
#endif

TEST(CueSheet, NamesAndTimes) {
    EXPECT_EQ(CueSheetPathFor("C:\\games\\tomba.bin"), "C:\\games\\tomba.cue");
    EXPECT_EQ(CueSheetPathFor("C:\\games.v2\\tomba"), "C:\\games.v2\\tomba.cue");
    TocEntry mode1{0, 0, kTrackMode1, true};
    TocEntry late{1, 4 * 60 * 75 + 2 * 75 + 74, kTrackAudio, false};
    EXPECT_EQ(BuildCueSheet("/x/a b.bin", {mode1, late}),
              "FILE \"a b.bin\" BINARY\r\n  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n"
              "  TRACK 02 AUDIO\r\n    INDEX 01 04:02:74\r\n");
}

TEST(ChunkPlan, Arithmetic) {
    EXPECT_EQ(PlanChunks(0, -1).sectors, 0);
    const ChunkPlan p = PlanChunks(100, 129);
    EXPECT_EQ(p.wholeEnd, 126);
    EXPECT_EQ(p.remainder, 4);
}

}  // namespace
}  // namespace dravolo::test
