#pragma once
// The image file's writer: whole chunks go through a 4096-byte buffer, as the
// C run-time's buffered files do (a write larger than the free room fills the
// buffer, sends it, and passes whole buffers' worth straight through).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace dravolo {

class WinFile;

class BufferedImageWriter {
public:
    static constexpr std::size_t kBufferSize = 4096;

    // Creates or truncates the file; ok() tells whether that worked.
    explicit BufferedImageWriter(std::string_view path);
    ~BufferedImageWriter();
    BufferedImageWriter(const BufferedImageWriter&) = delete;
    BufferedImageWriter& operator=(const BufferedImageWriter&) = delete;

    bool ok() const { return file_ != nullptr && !failed_; }
    bool Write(const std::uint8_t* data, std::size_t size);
    bool Flush();
    // Flushes and closes; false when anything written was lost.
    bool Close();
    std::uint64_t written() const { return written_; }

private:
    std::unique_ptr<WinFile> file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

}  // namespace dravolo
