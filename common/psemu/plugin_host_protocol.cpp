#include "common/psemu/plugin_host_protocol.h"

#include <algorithm>

namespace dravolo::pluginhost {

namespace {

// The kind byte of each message, in variant order.
enum Kind : std::uint8_t {
    kLoad = 1,
    kUnload,
    kCall,
    kSettingValue,
    kSettingWritten,
    kLoaded,
    kResult,
    kReadSetting,
    kWriteSetting,
    kChangeDirectory,
};

void PutText(ByteWriter& w, std::string_view text) {
    w.U32(static_cast<std::uint32_t>(text.size()));
    w.Raw(text);
}

bool GetText(ByteReader& r, std::string& out) {
    std::uint32_t size = 0;
    if (!r.U32(size) || size > r.remaining()) return false;
    return r.Raw(size, out);
}

void PutU64(ByteWriter& w, std::uint64_t v) {
    w.U32(static_cast<std::uint32_t>(v));
    w.U32(static_cast<std::uint32_t>(v >> 32));
}

bool GetU64(ByteReader& r, std::uint64_t& out) {
    std::uint32_t low = 0, high = 0;
    if (!r.U32(low) || !r.U32(high)) return false;
    out = (static_cast<std::uint64_t>(high) << 32) | low;
    return true;
}

bool GetBool(ByteReader& r, bool& out) {
    std::uint8_t b = 0;
    if (!r.U8(b) || b > 1) return false;
    out = b == 1;
    return true;
}

void EncodeInto(ByteWriter& w, const Load& m) {
    w.U8(kLoad);
    PutText(w, m.path);
}
void EncodeInto(ByteWriter& w, const Unload& m) {
    w.U8(kUnload);
    w.U32(m.handle);
}
void EncodeInto(ByteWriter& w, const Call& m) {
    w.U8(kCall);
    w.U32(m.handle);
    PutText(w, m.name);
    w.U8(static_cast<std::uint8_t>(m.kind));
    PutU64(w, m.ownerWindow);
}
void EncodeInto(ByteWriter& w, const SettingValue& m) {
    w.U8(kSettingValue);
    PutText(w, m.value);
}
void EncodeInto(ByteWriter& w, const SettingWritten&) { w.U8(kSettingWritten); }
void EncodeInto(ByteWriter& w, const Loaded& m) {
    w.U8(kLoaded);
    w.U8(m.ok ? 1 : 0);
    w.U32(m.handle);
}
void EncodeInto(ByteWriter& w, const Result& m) {
    w.U8(kResult);
    w.U8(m.found ? 1 : 0);
    w.I32(m.value);
    PutText(w, m.text);
    w.U8(m.block ? 1 : 0);
    if (m.block) w.Raw(std::span<const std::uint8_t>(*m.block));
}
void EncodeInto(ByteWriter& w, const ReadSetting& m) {
    w.U8(kReadSetting);
    PutText(w, m.section);
    PutText(w, m.key);
}
void EncodeInto(ByteWriter& w, const WriteSetting& m) {
    w.U8(kWriteSetting);
    PutText(w, m.section);
    PutText(w, m.key);
    w.U8(m.value ? 1 : 0);
    if (m.value) PutText(w, *m.value);
}

void EncodeInto(ByteWriter& w, const ChangeDirectory& m) {
    w.U8(kChangeDirectory);
    PutText(w, m.path);
}

std::optional<Message> DecodeBody(std::uint8_t kind, ByteReader& r) {
    switch (kind) {
    case kLoad: {
        Load m;
        if (!GetText(r, m.path)) return std::nullopt;
        return m;
    }
    case kUnload: {
        Unload m;
        if (!r.U32(m.handle)) return std::nullopt;
        return m;
    }
    case kCall: {
        Call m;
        std::uint8_t callKind = 0;
        if (!r.U32(m.handle) || !GetText(r, m.name) || !r.U8(callKind) || !GetU64(r, m.ownerWindow))
            return std::nullopt;
        if (callKind < static_cast<std::uint8_t>(CallKind::Long) ||
            callKind > static_cast<std::uint8_t>(CallKind::Probe))
            return std::nullopt;
        m.kind = static_cast<CallKind>(callKind);
        return m;
    }
    case kSettingValue: {
        SettingValue m;
        if (!GetText(r, m.value)) return std::nullopt;
        return m;
    }
    case kSettingWritten: return SettingWritten{};
    case kLoaded: {
        Loaded m;
        if (!GetBool(r, m.ok) || !r.U32(m.handle)) return std::nullopt;
        return m;
    }
    case kResult: {
        Result m;
        bool hasBlock = false;
        if (!GetBool(r, m.found) || !r.I32(m.value) || !GetText(r, m.text) || !GetBool(r, hasBlock))
            return std::nullopt;
        if (hasBlock) {
            Bytes block;
            if (!r.Raw(kInfoBlockSize, block)) return std::nullopt;
            m.block.emplace();
            std::copy(block.begin(), block.end(), m.block->begin());
        }
        return m;
    }
    case kReadSetting: {
        ReadSetting m;
        if (!GetText(r, m.section) || !GetText(r, m.key)) return std::nullopt;
        return m;
    }
    case kWriteSetting: {
        WriteSetting m;
        bool hasValue = false;
        if (!GetText(r, m.section) || !GetText(r, m.key) || !GetBool(r, hasValue)) return std::nullopt;
        if (hasValue) {
            std::string value;
            if (!GetText(r, value)) return std::nullopt;
            m.value = std::move(value);
        }
        return m;
    }
    case kChangeDirectory: {
        ChangeDirectory m;
        if (!GetText(r, m.path)) return std::nullopt;
        return m;
    }
    default: return std::nullopt;
    }
}

}  // namespace

Bytes Encode(const Message& message) {
    ByteWriter w;
    std::visit([&w](const auto& m) { EncodeInto(w, m); }, message);
    return w.take();
}

std::optional<Message> Decode(std::span<const std::uint8_t> payload) {
    ByteReader r(payload);
    std::uint8_t kind = 0;
    if (!r.U8(kind)) return std::nullopt;
    auto message = DecodeBody(kind, r);
    if (!message || !r.ok() || r.remaining() != 0) return std::nullopt;
    return message;
}

Bytes Frame(const Message& message) {
    const Bytes payload = Encode(message);
    ByteWriter w;
    w.U32(static_cast<std::uint32_t>(payload.size()));
    w.Raw(std::span<const std::uint8_t>(payload));
    return w.take();
}

}  // namespace dravolo::pluginhost
