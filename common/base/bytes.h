#pragma once
// Explicit little-endian readers and writers for the binary formats we keep
// (profile records, memory cards, hives' hex values, reports). Every read is
// bounds-checked: a short buffer makes the reader fail, never read past the end.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dravolo {

using Bytes = std::vector<std::uint8_t>;

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    bool ok() const { return ok_; }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return ok_ ? data_.size() - pos_ : 0; }

    bool U8(std::uint8_t& out);
    bool U16(std::uint16_t& out);
    bool U32(std::uint32_t& out);
    bool I32(std::int32_t& out);
    bool Raw(std::size_t count, std::string& out);
    bool Raw(std::size_t count, Bytes& out);
    bool Skip(std::size_t count);

private:
    bool Take(std::size_t count, const std::uint8_t*& at);

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    void U8(std::uint8_t v) { out_.push_back(v); }
    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void Raw(std::string_view text);
    void Raw(std::span<const std::uint8_t> bytes);

    const Bytes& bytes() const { return out_; }
    Bytes take() { return std::move(out_); }

private:
    Bytes out_;
};

std::uint16_t LoadU16(const std::uint8_t* p);
std::uint32_t LoadU32(const std::uint8_t* p);
void StoreU16(std::uint8_t* p, std::uint16_t v);
void StoreU32(std::uint8_t* p, std::uint32_t v);

}  // namespace dravolo
