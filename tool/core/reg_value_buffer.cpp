#include "tool/core/reg_value_buffer.h"

#include <algorithm>

namespace dravolo::tool {

std::optional<std::uint32_t> RegValueBuffer::AsNumber() const {
    if (data_.size() != 4) return std::nullopt;
    if (type_ == kRegDword) return LoadU32(data_.data());
    if (type_ == kRegDwordBigEndian) {
        return (std::uint32_t{data_[0]} << 24) | (std::uint32_t{data_[1]} << 16) | (std::uint32_t{data_[2]} << 8) |
               std::uint32_t{data_[3]};
    }
    return std::nullopt;
}

std::optional<std::string> RegValueBuffer::AsText() const {
    if (type_ != kRegSz && type_ != kRegExpandSz && type_ != kRegLink) return std::nullopt;
    const auto end = std::find(data_.begin(), data_.end(), std::uint8_t{0});
    return std::string(data_.begin(), end);
}

bool RegValueBuffer::AsBytes(std::span<std::uint8_t> out) const {
    if (type_ != kRegBinary && type_ != kRegResourceList && type_ != kRegFullResourceDescriptor) return false;
    if (data_.size() != out.size()) return false;
    std::copy(data_.begin(), data_.end(), out.begin());
    return true;
}

void RegValueBuffer::SetNumber(std::uint32_t value) {
    type_ = kRegDword;
    data_ = RegDwordData(value);
}

void RegValueBuffer::SetText(std::string_view text) {
    type_ = kRegSz;
    data_ = RegSzData(text);
}

void RegValueBuffer::SetBytes(std::span<const std::uint8_t> bytes) {
    type_ = kRegBinary;
    data_.assign(bytes.begin(), bytes.end());
}

}  // namespace dravolo::tool
