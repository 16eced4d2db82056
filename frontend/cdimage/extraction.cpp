#include "frontend/cdimage/extraction.h"

#include <cstdio>

#include "common/platform/winfs.h"
#include "frontend/cdimage/bad_sector_list.h"
#include "frontend/cdimage/cue_sheet.h"
#include "frontend/cdimage/image_writer.h"

namespace dravolo {

namespace {

constexpr std::string_view kCaption = "ISO Tool";

std::string RetryQuestion(std::int64_t from, std::int64_t to) {
    char text[160];
    std::snprintf(text, sizeof text, "Error reading one or more sectors from %ld to %ld\nDo you want to retry?",
                  static_cast<long>(from), static_cast<long>(to));
    return text;
}

// Ends the worker: flags cleared, then the end message - the last thing the
// worker does with the dialog.
ExtractionOutcome End(ExtractionJob& job, ExtractionObserver& observer, ExtractionOutcome outcome) {
    job.running = false;
    job.cancel = false;
    job.cancelConfirmed = false;
    observer.SetProgressPos(0);
    observer.Finished();
    return outcome;
}

}  // namespace

ChunkPlan PlanChunks(std::int32_t first, std::int32_t last) {
    ChunkPlan plan;
    plan.sectors = std::int64_t{last} - first + 1;
    if (plan.sectors < 0) plan.sectors = 0;
    plan.wholeEnd = first + plan.sectors / kChunkSectors * kChunkSectors;
    plan.remainder = first + plan.sectors - plan.wholeEnd;
    return plan;
}

ExtractionOutcome RunExtraction(CdAccess& access, ExtractionJob& job, bool writeImage, Prompter& prompter,
                                ExtractionObserver& observer) {
    job.running = true;
    job.skippedSectors.clear();
    job.givenUpFrom = job.givenUpTo = -1;
    if (!access.CurrentInitialised() && !access.Init(access.CurrentInterface(), &prompter))
        return End(job, observer, ExtractionOutcome::NotStarted);
    if (writeImage && job.imageFile.empty()) return End(job, observer, ExtractionOutcome::NotStarted);
    // Pass-through looks the drive up once for the whole extraction.
    auto drive = access.OpenDrive(job.adapter, job.target, job.lun);
    if (!drive) return End(job, observer, ExtractionOutcome::NotStarted);

    // Spins the disc up; the answer does not matter.
    access.ReadRaw(drive.get(), 0, kChunkSectors);

    std::unique_ptr<ImageBatchWriter> image;
    if (writeImage) {
        image = std::make_unique<ImageBatchWriter>(job.imageFile);
        if (!image->ok()) {
            prompter.Tell("Cannot Open File.", "File Open Error", PromptIcon::Stop);
            return End(job, observer, ExtractionOutcome::FileNotCreated);
        }
        // The former image is gone; so goes the sheet that described it (the
        // user agreed to replace both). The new one comes with a whole image.
        // A sheet that cannot go stays beside the new image: the image is what the user asked for.
        if (!job.cueTracks.empty()) (void)DeleteFileAt(CueSheetPathFor(job.imageFile));
    }
    auto deleteImage = [&] {
        if (!image) return;
        image->Discard();
        (void)DeleteFileAt(job.imageFile);  // cleanup of a failed run; its failure is already told
    };
    auto writeFailed = [&] {
        // A full disk must not pass for a finished image, nor leave one that
        // looks whole up to some sector: the partial image goes.
        deleteImage();
        prompter.Tell("Error writing the image file.\n", kCaption, PromptIcon::Stop);
        return End(job, observer, ExtractionOutcome::WriteFailed);
    };

    const ChunkPlan plan = PlanChunks(job.firstSector, job.lastSector);
    if (plan.sectors == 0) {
        if (image) image->Close();
        return End(job, observer, ExtractionOutcome::EmptyRange);
    }
    observer.SetProgressRange(0, static_cast<int>(plan.wholeEnd - job.firstSector), kChunkSectors);
    access.SetSpeed(job.adapter, job.target, job.lun, job.speedIndex);

    // Room for the read-only worker's sector-by-sector pass (it has no batch).
    std::vector<std::uint8_t> scratch;

    // Reads `count` sectors at `start`, retrying while the user (or the retry
    // limit) allows; false when the chunk is given up or the job cancelled.
    // An image is read straight into the writer's batch, the read-only worker
    // into the transfer buffer.
    auto readChunk = [&](std::int64_t start, int count, bool askCancel, bool& cancelled) {
        cancelled = false;
        const auto first = static_cast<std::int32_t>(start);
        for (int retries = 0;; ++retries) {
            const int result = image ? access.ReadRaw(drive.get(), first, count, image->NextTransfer())
                                     : access.ReadRaw(drive.get(), first, count);
            if (askCancel && job.cancel) {
                const bool yes =
                    job.cancelConfirmed || prompter.Ask("Cancel Cdrom Extraction?\n", kCaption, PromptIcon::Question,
                                                        PromptButtons::YesNo, PromptAnswer::No) == PromptAnswer::Yes;
                job.cancel = false;
                if (yes) {
                    cancelled = true;
                    return false;
                }
            }
            if (result == 1) return true;
            if (job.retryLimit) {
                if (retries < *job.retryLimit) {
                    observer.RetryingChunk(start, start + count, retries + 1, *job.retryLimit);
                    continue;
                }
            } else {
                if (prompter.Ask(RetryQuestion(start, start + count), kCaption, PromptIcon::Question,
                                 PromptButtons::YesNo, PromptAnswer::No) == PromptAnswer::Yes)
                    continue;
                // A dialog that went away while asking has cancelled the job:
                // its partial image goes as on any cancel.
                if (job.cancelConfirmed) {
                    cancelled = true;
                    return false;
                }
            }
            if (!job.skipBadSectors) {
                job.givenUpFrom = start;
                job.givenUpTo = start + count;
                return false;
            }
            if (!image && scratch.empty()) scratch.assign(kTransferBufferSize, 0);
            const std::size_t before = job.skippedSectors.size();
            if (access.ReadRawSectorsZeroingBad(drive.get(), first, count, image ? image->NextTransfer() : scratch,
                                                job.skippedSectors) < 0) {
                job.givenUpFrom = start;
                job.givenUpTo = start + count;
                return false;
            }
            for (std::size_t i = before; i < job.skippedSectors.size(); ++i)
                observer.SectorSkipped(job.skippedSectors[i]);
            return true;
        }
    };

    for (std::int64_t s = job.firstSector; s < plan.wholeEnd; s += kChunkSectors) {
        bool cancelled = false;
        if (!readChunk(s, kChunkSectors, true, cancelled)) {
            if (cancelled) {
                deleteImage();
                return End(job, observer, ExtractionOutcome::Cancelled);
            }
            if (image) image->Close();  // what was written stays
            return End(job, observer, ExtractionOutcome::StoppedOnReadError);
        }
        if (image && !image->Commit(kTransferBufferSize)) return writeFailed();
        observer.StepProgress();
    }
    if (plan.remainder > 0) {
        // The remainder is read like a chunk; a failure is asked about rather
        // than writing whatever the buffer held.
        bool cancelled = false;
        if (!readChunk(plan.wholeEnd, static_cast<int>(plan.remainder), false, cancelled)) {
            if (cancelled) {
                deleteImage();
                return End(job, observer, ExtractionOutcome::Cancelled);
            }
            if (image) image->Close();
            return End(job, observer, ExtractionOutcome::StoppedOnReadError);
        }
        if (image && !image->Commit(static_cast<std::size_t>(plan.remainder) * kRawSectorSize)) return writeFailed();
    }
    ExtractionOutcome outcome = ExtractionOutcome::Completed;
    if (image) {
        if (!image->Close()) return writeFailed();
        if (!job.cueTracks.empty() && !WriteCueSheet(job.imageFile, job.cueTracks)) {
            prompter.Tell("Unable to write the cue sheet " + CueSheetPathFor(job.imageFile) + "\n", kCaption,
                          PromptIcon::Stop);
            outcome = ExtractionOutcome::CompletedWithoutSideFile;
        }
        if (job.skipBadSectors) {
            // The list always describes the image beside it: none stays from
            // an earlier run when every sector was read this time.
            const std::string listPath = BadSectorListPathFor(job.imageFile);
            if (job.skippedSectors.empty()) {
                (void)DeleteFileAt(listPath);  // usually there is none to delete
            } else if (!WriteBadSectorList(job.imageFile, job.skippedSectors)) {
                prompter.Tell("Unable to write the list of unreadable sectors " + listPath + "\n", kCaption,
                              PromptIcon::Stop);
                outcome = ExtractionOutcome::CompletedWithoutSideFile;
            }
        }
    }
    return End(job, observer, outcome);
}

}  // namespace dravolo
