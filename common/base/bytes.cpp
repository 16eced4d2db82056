#include "common/base/bytes.h"

namespace dravolo {

bool ByteReader::Take(std::size_t count, const std::uint8_t*& at) {
    if (!ok_ || count > data_.size() - pos_) {
        ok_ = false;
        return false;
    }
    at = data_.data() + pos_;
    pos_ += count;
    return true;
}

bool ByteReader::U8(std::uint8_t& out) {
    const std::uint8_t* p = nullptr;
    if (!Take(1, p)) return false;
    out = p[0];
    return true;
}

bool ByteReader::U16(std::uint16_t& out) {
    const std::uint8_t* p = nullptr;
    if (!Take(2, p)) return false;
    out = LoadU16(p);
    return true;
}

bool ByteReader::U32(std::uint32_t& out) {
    const std::uint8_t* p = nullptr;
    if (!Take(4, p)) return false;
    out = LoadU32(p);
    return true;
}

bool ByteReader::I32(std::int32_t& out) {
    std::uint32_t v = 0;
    if (!U32(v)) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

bool ByteReader::Raw(std::size_t count, std::string& out) {
    const std::uint8_t* p = nullptr;
    if (!Take(count, p)) return false;
    out.assign(reinterpret_cast<const char*>(p), count);
    return true;
}

bool ByteReader::Raw(std::size_t count, Bytes& out) {
    const std::uint8_t* p = nullptr;
    if (!Take(count, p)) return false;
    out.assign(p, p + count);
    return true;
}

bool ByteReader::Skip(std::size_t count) {
    const std::uint8_t* p = nullptr;
    return Take(count, p);
}

void ByteWriter::U16(std::uint16_t v) {
    out_.push_back(static_cast<std::uint8_t>(v));
    out_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::U32(std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out_.push_back(static_cast<std::uint8_t>(v >> shift));
}

void ByteWriter::Raw(std::string_view text) { out_.insert(out_.end(), text.begin(), text.end()); }

void ByteWriter::Raw(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

std::uint16_t LoadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t LoadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void StoreU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void StoreU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace dravolo
