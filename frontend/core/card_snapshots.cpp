#include "frontend/core/card_snapshots.h"

#include <algorithm>
#include <cstdio>

#include "common/memcard/card_formats.h"
#include "common/platform/local_time.h"
#include "common/platform/system_error.h"
#include "common/platform/winfs.h"

namespace dravolo::memcards {

namespace {

constexpr std::string_view kExtension = ".mcr";
constexpr std::string_view kTempExtension = ".tmp";
constexpr std::size_t kIdSize = 17;  // "YYYYMMDD-HHMMSS-N"
constexpr int kSecondsToTry = 120;   // a later second when two snapshots fall in one

std::string WithSlash(std::string_view folder) {
    std::string out(folder);
    if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
    return out;
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "20240131-235959-1" -> its card number and date; nothing for another name.
std::optional<Snapshot> ParseId(std::string_view id) {
    if (id.size() != kIdSize || id[8] != '-' || id[15] != '-') return std::nullopt;
    if (!AllDigits(id.substr(0, 8)) || !AllDigits(id.substr(9, 6)) || (id[16] != '1' && id[16] != '2'))
        return std::nullopt;
    Snapshot s;
    s.id = std::string(id);
    s.card = id[16] - '0';
    s.date = std::string(id.substr(0, 4)) + "-" + std::string(id.substr(4, 2)) + "-" + std::string(id.substr(6, 2)) +
             " " + std::string(id.substr(9, 2)) + ":" + std::string(id.substr(11, 2)) + ":" +
             std::string(id.substr(13, 2));
    return s;
}

std::string Stamp(std::time_t when) {
    const std::tm local = LocalTimeOf(when).value_or(std::tm{});
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

bool WriteNewFile(const std::string& path, const Bytes& data) {
    const auto file = WinFile::Open(path, WinFile::Mode::CreateAlways);
    return file && file->Write(data.data(), data.size());
}

// The card's bytes under the first free name from `now` on: written as a
// temporary file and renamed, so a snapshot is there whole or not at all.
bool WriteSnapshot(const std::string& folder, int card, const Bytes& data, std::time_t now) {
    const std::string temp = folder + "snapshot-" + std::to_string(card) + std::string(kTempExtension);
    if (!WriteNewFile(temp, data)) {
        (void)DeleteFileAt(temp);  // best effort: the snapshot failed already
        return false;
    }
    for (int later = 0; later < kSecondsToTry; ++later) {
        const std::string path = folder + Stamp(now + later) + "-" + std::to_string(card) + std::string(kExtension);
        if (FileExists(path)) continue;
        if (RenameNoReplace(temp, path)) return true;
    }
    (void)DeleteFileAt(temp);  // best effort: the snapshot failed already
    return false;
}

void Prune(const std::string& folder, int card, int keep) {
    const std::vector<Snapshot> all = ListSnapshots(folder, card);
    // A snapshot that cannot go is pruned at the next run.
    for (std::size_t i = static_cast<std::size_t>(keep); i < all.size(); ++i) (void)DeleteFileAt(all[i].path);
}

SnapshotOutcome Take(std::string_view folder, int card, std::string_view cardPath, std::time_t now,
                     std::optional<int> keep) {
    const auto data = ReadCardBytes(cardPath);
    if (!data) return SnapshotOutcome::NoCard;
    const std::string dir = WithSlash(folder);
    const std::vector<Snapshot> existing = ListSnapshots(dir, card);
    if (!existing.empty()) {
        const auto newest = ReadCardBytes(existing.front().path);
        // Both files are read whole anyway: comparing them byte for byte is
        // exact and costs a fraction of hashing them (a launch waits for it).
        if (newest && *newest == *data) return SnapshotOutcome::Unchanged;
    }
    if (!DirectoryExists(dir) && !CreateDir(dir)) return SnapshotOutcome::Failed;
    if (!WriteSnapshot(dir, card, *data, now)) return SnapshotOutcome::Failed;
    if (keep) Prune(dir, card, *keep);
    return SnapshotOutcome::Taken;
}

}  // namespace

std::string SnapshotFolderOf(std::string_view profileBase) { return std::string(profileBase) + ".snapshots\\"; }

std::optional<Bytes> ReadCardBytes(std::string_view path) {
    if (path.empty() || !FileExists(path)) return std::nullopt;
    const auto size = FileSize(path);
    if (!size || *size == 0 || *size > memcard::kLongestCardFile) return std::nullopt;
    return ReadWholeFile(path);
}

std::vector<Snapshot> ListSnapshots(std::string_view folder, int card) {
    const std::string dir = WithSlash(folder);
    std::vector<Snapshot> out;
    for (const FindEntry& entry : FindFiles(dir + "*" + std::string(kExtension))) {
        const std::string_view name = entry.name;
        if (name.size() != kIdSize + kExtension.size()) continue;
        auto snapshot = ParseId(name.substr(0, kIdSize));
        if (!snapshot || (card != 0 && snapshot->card != card)) continue;
        snapshot->path = dir + entry.name;
        out.push_back(std::move(*snapshot));
    }
    std::sort(out.begin(), out.end(), [](const Snapshot& a, const Snapshot& b) { return a.id > b.id; });
    return out;
}

std::optional<Snapshot> FindSnapshot(std::string_view folder, std::string_view id) {
    for (Snapshot& s : ListSnapshots(folder))
        if (s.id == id) return std::move(s);
    return std::nullopt;
}

SnapshotOutcome TakeSnapshot(std::string_view folder, int card, std::string_view cardPath, int keep, std::time_t now) {
    if (keep <= 0) return SnapshotOutcome::Off;
    return Take(folder, card, cardPath, now, keep);
}

RestoreOutcome RestoreSnapshot(std::string_view folder, const Snapshot& snapshot, std::string_view cardPath,
                               std::time_t now, Error* error) {
    const auto data = ReadCardBytes(snapshot.path);
    if (!data) return RestoreOutcome::NoSnapshot;
    if (FileExists(cardPath) && Take(folder, snapshot.card, cardPath, now, std::nullopt) == SnapshotOutcome::Failed)
        return RestoreOutcome::CannotSnapshotCard;
    // In place, then cut to the snapshot's length.
    auto file = WinFile::Open(cardPath, WinFile::Mode::ReadWrite);
    if (!file) file = WinFile::Open(cardPath, WinFile::Mode::CreateAlways, error);
    if (!file) return RestoreOutcome::CannotWriteCard;
    if (!file->Seek(0) || !file->Write(data->data(), data->size()) || !file->Truncate(data->size()) || !file->Flush()) {
        SetLastSystemError(error, "write", cardPath);
        return RestoreOutcome::CannotWriteCard;
    }
    return RestoreOutcome::Restored;
}

bool MoveSnapshotFolder(std::string_view fromBase, std::string_view toBase) {
    std::string from = SnapshotFolderOf(fromBase), to = SnapshotFolderOf(toBase);
    from.pop_back();
    to.pop_back();
    if (!DirectoryExists(from)) return true;
    return RenameNoReplace(from, to);
}

bool DeleteSnapshotFolder(std::string_view profileBase) {
    std::string folder = SnapshotFolderOf(profileBase);
    if (!DirectoryExists(folder)) return true;
    // A file left behind makes the RemoveDir below fail, and that is the answer.
    for (const FindEntry& entry : FindFiles(folder + "*", FindWhat::FilesOnly)) (void)DeleteFileAt(folder + entry.name);
    folder.pop_back();
    return RemoveDir(folder);
}

}  // namespace dravolo::memcards
