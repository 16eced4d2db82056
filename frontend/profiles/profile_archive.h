#pragma once
// The byte stream of a profile file: the records are written field by field
// with no class name, tag or version. Flags are one byte, ints 32-bit
// little-endian, texts a length prefix (1, 3 or 7 bytes) and ANSI bytes without
// a terminator. One archive serves both directions, so a record's field order
// is written down once.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/base/bytes.h"

namespace dravolo {

class ProfileArchive {
public:
    static ProfileArchive ForStoring() { return ProfileArchive(); }
    static ProfileArchive ForLoading(std::span<const std::uint8_t> data) { return ProfileArchive(data); }

    bool IsStoring() const { return storing_; }
    // False once a load ran past the end of the data.
    bool ok() const { return storing_ || reader_.ok(); }

    void Flag(std::uint8_t& value);
    void Int(std::int32_t& value);
    void Text(std::string& value);

    // Every record ends in "RESERVED" five times; readers never look at it.
    void StoreTrailer();

    const Bytes& bytes() const { return writer_.bytes(); }

private:
    ProfileArchive() : storing_(true), reader_({}) {}
    explicit ProfileArchive(std::span<const std::uint8_t> data) : storing_(false), reader_(data) {}

    bool storing_;
    ByteWriter writer_;
    ByteReader reader_;
};

// The length prefix alone, for tests and tools that inspect files.
void StoreTextLength(ByteWriter& out, std::uint32_t length);

}  // namespace dravolo
