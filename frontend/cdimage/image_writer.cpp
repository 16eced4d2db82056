#include "frontend/cdimage/image_writer.h"

#include <cstring>

#include "common/platform/winfs.h"

namespace dravolo {

BufferedImageWriter::BufferedImageWriter(std::string_view path)
    : file_(WinFile::Open(path, WinFile::Mode::CreateAlways)), buffer_(kBufferSize) {}

BufferedImageWriter::~BufferedImageWriter() { Close(); }

bool BufferedImageWriter::Flush() {
    if (!file_ || failed_) return false;
    if (used_ > 0 && !file_->Write(buffer_.data(), used_)) failed_ = true;
    used_ = 0;
    return !failed_;
}

bool BufferedImageWriter::Write(const std::uint8_t* data, std::size_t size) {
    if (!ok()) return false;
    written_ += size;
    if (used_ + size < kBufferSize) {
        std::memcpy(buffer_.data() + used_, data, size);
        used_ += size;
        return true;
    }
    // Top the buffer up and send it, then whole buffers' worth directly.
    const std::size_t top = kBufferSize - used_;
    std::memcpy(buffer_.data() + used_, data, top);
    used_ = kBufferSize;
    if (!Flush()) return false;
    data += top;
    size -= top;
    const std::size_t direct = size - size % kBufferSize;
    if (direct > 0 && !file_->Write(data, direct)) {
        failed_ = true;
        return false;
    }
    std::memcpy(buffer_.data(), data + direct, size - direct);
    used_ = size - direct;
    return true;
}

bool BufferedImageWriter::Close() {
    if (!file_) return false;
    const bool flushed = Flush();
    file_.reset();
    return flushed;
}

}  // namespace dravolo
