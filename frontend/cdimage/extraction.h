#pragma once
// The extraction worker: copies a range of raw sectors from the CD into an
// image file in chunks of 26 sectors (or only reads them), with progress,
// cancel and retry questions. It runs on its own thread; what it shares with
// the dialog is the job below, whose flags are the only fields either side
// writes while it runs.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/prompter.h"
#include "frontend/cdimage/cd_access.h"

namespace dravolo {

struct ExtractionJob {
    std::uint8_t adapter = 0, target = 0, lun = 0;
    std::int32_t firstSector = 0;
    std::int32_t lastSector = -1;  // inclusive; first - 1 is the empty range
    std::string imageFile;         // Windows path
    int speedIndex = 0;            // 7 "Auto" ... 1 "1X"
    // Tracks of the whole disc: when not empty a cue sheet is written beside
    // a completed image.
    std::vector<TocEntry> cueTracks;
    // Set (dravolo-cli): a chunk that cannot be read is retried this many
    // times without a question, then given up. Unset (the window): the user
    // is asked each time.
    std::optional<int> retryLimit;
    // A given-up chunk is read sector by sector instead of ending the job;
    // sectors that still fail are written as zeros and listed in
    // skippedSectors (and beside a finished image in NAME.bad).
    bool skipBadSectors = false;

    // What the worker leaves behind for its caller.
    std::vector<std::int32_t> skippedSectors;
    std::int64_t givenUpFrom = -1, givenUpTo = -1;  // the chunk a job stopped at

    std::atomic<bool> running{false};
    std::atomic<bool> cancel{false};
    // Set by a closing dialog that has already asked: cancel without asking again.
    std::atomic<bool> cancelConfirmed{false};
};

// The worker's view of the dialog: its progress bar and its end message.
class ExtractionObserver {
public:
    virtual ~ExtractionObserver() = default;
    virtual void SetProgressRange(int minimum, int maximum, int step) = 0;
    virtual void StepProgress() = 0;
    virtual void SetProgressPos(int position) = 0;
    // Retries made without asking (ExtractionJob::retryLimit), and sectors
    // written as zeros (ExtractionJob::skipBadSectors).
    virtual void RetryingChunk(std::int64_t /*from*/, std::int64_t /*to*/, int /*retry*/, int /*limit*/) {}
    virtual void SectorSkipped(std::int32_t /*sector*/) {}
    // Sent last, whatever the outcome.
    virtual void Finished() = 0;
};

enum class ExtractionOutcome {
    Completed,
    CompletedWithoutSideFile,  // the image is whole, its cue sheet or NAME.bad could not be written
    Cancelled,                 // partial image deleted (read-only: nothing to delete)
    StoppedOnReadError,        // "No" to the retry question or retries spent; partial image kept
    NotStarted,                // interface, file name or drive missing
    FileNotCreated,
    EmptyRange,
    WriteFailed,  // partial image deleted
};

// writeImage false: the read-only worker (no name check, no file).
// An image with a cue sheet replaces an existing NAME.cue as soon as the image
// file is made, and gets its own sheet only when it is complete: a stopped,
// cancelled or failed image never has a sheet beside it.
ExtractionOutcome RunExtraction(CdAccess& access, ExtractionJob& job, bool writeImage, Prompter& prompter,
                                ExtractionObserver& observer);

// The chunking of a job: whole chunks from `first` up to (not including)
// `wholeEnd`, then `remainder` sectors.
struct ChunkPlan {
    std::int64_t sectors = 0;
    std::int64_t wholeEnd = 0;
    std::int64_t remainder = 0;
};
ChunkPlan PlanChunks(std::int32_t first, std::int32_t last);

}  // namespace dravolo
