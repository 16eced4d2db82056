#pragma once
// One registry value held in memory: its type, size and bytes. Readers take
// it only in the form its type promises, so a text value is never read as a
// number or a number as text.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/base/bytes.h"
#include "common/platform/registry.h"

namespace dravolo::tool {

class RegValueBuffer {
public:
    RegValueBuffer() = default;
    RegValueBuffer(std::uint32_t type, Bytes data) : type_(type), data_(std::move(data)) {}

    std::uint32_t type() const { return type_; }
    std::size_t size() const { return data_.size(); }
    const Bytes& bytes() const { return data_; }

    // DWORD (4) or big-endian DWORD (5) of exactly four bytes.
    std::optional<std::uint32_t> AsNumber() const;
    // String (1), expandable string (2) or link (6): the text up to its first NUL.
    std::optional<std::string> AsText() const;
    // Binary (3), resource list (8) or resource descriptor (9) whose size is
    // exactly the caller's.
    bool AsBytes(std::span<std::uint8_t> out) const;

    void SetNumber(std::uint32_t value);                 // DWORD
    void SetText(std::string_view text);                 // string, text + terminator
    void SetBytes(std::span<const std::uint8_t> bytes);  // binary

private:
    std::uint32_t type_ = kRegNone;
    Bytes data_;
};

}  // namespace dravolo::tool
