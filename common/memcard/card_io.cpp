#include "common/memcard/card_io.h"

#include <algorithm>
#include <cstring>

#include "common/platform/system_error.h"

namespace dravolo::memcard {

namespace {

bool ReadImage(WinFile& file, CardImage& card) {
    card.fill(0);  // a short card must not show the bytes of another
    Bytes data;
    if (!file.Seek(0) || !file.ReadAll(kCardSize, data)) return false;
    std::copy_n(data.begin(), std::min(data.size(), kCardSize), card.begin());
    return true;
}

bool SameFrame(const CardImage& a, const CardImage& b, std::size_t frame) {
    return std::memcmp(a.data() + FrameOffset(frame), b.data() + FrameOffset(frame), kFrameSize) == 0;
}

}  // namespace

std::unique_ptr<CardImage> ReadCardFile(std::string_view path) {
    if (path.empty()) return nullptr;
    const auto file = WinFile::Open(path, WinFile::Mode::Read);
    if (!file) return nullptr;
    auto card = std::make_unique<CardImage>();
    if (!ReadImage(*file, *card)) return nullptr;
    return card;
}

std::unique_ptr<CardUpdate> OpenCardForUpdate(std::string_view path, Error* error) {
    if (path.empty()) return nullptr;
    auto update = std::make_unique<CardUpdate>();
    update->path = path;
    update->file = WinFile::Open(path, WinFile::Mode::ReadWrite, error);
    if (!update->file) return nullptr;
    update->before = std::make_unique<CardImage>();
    if (!ReadImage(*update->file, *update->before)) {
        SetLastSystemError(error, "read", path);
        return nullptr;
    }
    update->after = std::make_unique<CardImage>(*update->before);
    return update;
}

bool WriteNewCardFile(std::string_view path, std::span<const std::uint8_t> data, Error* error) {
    const auto file = WinFile::Open(path, WinFile::Mode::CreateAlways, error);
    if (!file) return false;
    if (file->Write(data.data(), data.size()) && file->Flush()) return true;
    SetLastSystemError(error, "write", path);
    return false;
}

bool CardUpdate::WriteChanges(Error* error) {
    constexpr std::size_t frames = kCardSize / kFrameSize;
    bool wrote = false;
    for (std::size_t f = 0; f < frames;) {
        if (SameFrame(*before, *after, f)) {
            ++f;
            continue;
        }
        std::size_t end = f + 1;
        while (end < frames && !SameFrame(*before, *after, end)) ++end;
        const std::size_t offset = FrameOffset(f);
        if (!file->Seek(offset) || !file->Write(after->data() + offset, FrameOffset(end) - offset)) {
            SetLastSystemError(error, "write", path);
            return false;
        }
        wrote = true;
        f = end;
    }
    if (wrote && !file->Flush()) {
        SetLastSystemError(error, "write", path);
        return false;
    }
    *before = *after;
    return true;
}

}  // namespace dravolo::memcard
