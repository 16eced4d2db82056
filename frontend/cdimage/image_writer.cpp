#include "frontend/cdimage/image_writer.h"

#include <algorithm>

#include "common/platform/winfs.h"

namespace dravolo {

ImageBatchWriter::ImageBatchWriter(std::string_view path)
    : file_(WinFile::Open(path, WinFile::Mode::CreateAlways)), batch_(kBatchSize) {}

ImageBatchWriter::~ImageBatchWriter() { Close(); }

std::span<std::uint8_t> ImageBatchWriter::NextTransfer() {
    // Commit keeps at least one transfer's room free.
    return std::span<std::uint8_t>(batch_).subspan(used_, kTransferBufferSize);
}

bool ImageBatchWriter::Commit(std::size_t size) {
    if (!ok()) return false;
    used_ += std::min(size, kTransferBufferSize);
    committed_ += std::min(size, kTransferBufferSize);
    if (batch_.size() - used_ < kTransferBufferSize) return WritePending();
    return true;
}

bool ImageBatchWriter::WritePending() {
    if (!ok()) return false;
    if (used_ > 0 && !file_->Write(batch_.data(), used_)) failed_ = true;
    used_ = 0;
    return !failed_;
}

bool ImageBatchWriter::Close() {
    if (!file_) return false;
    const bool written = WritePending();
    file_.reset();
    return written;
}

void ImageBatchWriter::Discard() {
    used_ = 0;
    file_.reset();
}

}  // namespace dravolo
