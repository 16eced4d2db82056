#pragma once
// The image file's writer. The drive delivers 26 sectors (61,152 bytes) at a
// time; the writer hands out room for one such transfer at a time inside a
// batch of 16, the drive reads straight into it, and every full batch
// (978,432 bytes) goes to the file in one write. Nothing is copied in memory
// and the file sees one write call per 16 chunks instead of two per chunk.
//
// The bytes and their order in the file are exactly those committed; only
// the moment they reach the file changes. Close() writes what is pending,
// Discard() drops it (a cancelled image is deleted anyway).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "frontend/cdimage/cd_access.h"

namespace dravolo {

class WinFile;

class ImageBatchWriter {
public:
    static constexpr std::size_t kChunksPerBatch = 16;
    static constexpr std::size_t kBatchSize = kChunksPerBatch * kTransferBufferSize;

    // Creates or truncates the file; ok() tells whether that worked.
    explicit ImageBatchWriter(std::string_view path);
    ~ImageBatchWriter();
    ImageBatchWriter(const ImageBatchWriter&) = delete;
    ImageBatchWriter& operator=(const ImageBatchWriter&) = delete;

    bool ok() const { return file_ != nullptr && !failed_; }
    // Room for one whole transfer (kTransferBufferSize bytes) after what is
    // pending; a read may fill it any number of times before Commit.
    std::span<std::uint8_t> NextTransfer();
    // Keeps the first `size` bytes (at most one transfer) of the room just
    // handed out, writing the batch when no room for another transfer is left.
    // False once a write has failed.
    bool Commit(std::size_t size);
    // Writes what is pending and closes; false when anything written was lost.
    bool Close();
    // Closes without writing what is pending.
    void Discard();
    std::uint64_t committed() const { return committed_; }

private:
    bool WritePending();

    std::unique_ptr<WinFile> file_;
    std::vector<std::uint8_t> batch_;
    std::size_t used_ = 0;
    std::uint64_t committed_ = 0;
    bool failed_ = false;
};

}  // namespace dravolo
