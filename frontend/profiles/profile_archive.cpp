#include "frontend/profiles/profile_archive.h"

namespace dravolo {

void StoreTextLength(ByteWriter& out, std::uint32_t length) {
    if (length < 0xFF) {
        out.U8(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
        out.U8(0xFF);
        out.U16(static_cast<std::uint16_t>(length));
    } else {
        out.U8(0xFF);
        out.U16(0xFFFF);
        out.U32(length);
    }
}

void ProfileArchive::Flag(std::uint8_t& value) {
    if (storing_) {
        writer_.U8(value);
        return;
    }
    std::uint8_t v = 0;
    if (reader_.U8(v)) value = v;
}

void ProfileArchive::Int(std::int32_t& value) {
    if (storing_) {
        writer_.I32(value);
        return;
    }
    std::int32_t v = 0;
    if (reader_.I32(v)) value = v;
}

void ProfileArchive::Text(std::string& value) {
    if (storing_) {
        StoreTextLength(writer_, static_cast<std::uint32_t>(value.size()));
        writer_.Raw(value);
        return;
    }
    // The reader accepts every prefix the stored form can have, including a
    // two-byte 0xFFFE; a length beyond the data fails before anything is copied.
    std::uint8_t shortLength = 0;
    if (!reader_.U8(shortLength)) return;
    std::uint32_t length = shortLength;
    if (shortLength == 0xFF) {
        std::uint16_t word = 0;
        if (!reader_.U16(word)) return;
        length = word;
        if (word == 0xFFFF && !reader_.U32(length)) return;
    }
    std::string text;
    if (reader_.Raw(length, text)) value = std::move(text);
}

void ProfileArchive::StoreTrailer() {
    for (int i = 0; i < 5; ++i) {
        std::string reserved = "RESERVED";
        Text(reserved);
    }
}

}  // namespace dravolo
