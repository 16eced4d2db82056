#include "frontend/profiles/profile_files.h"

#include "common/platform/last_error.h"
#include "common/platform/system_error.h"
#include "common/platform/winfs.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_archive.h"

namespace dravolo {

std::string ProfilePath(EmulatorKind kind, std::string_view name, std::string_view extension) {
    std::string path = ".\\";
    path += KindInfo(kind).directory;
    path += '\\';
    path += name;
    path += extension;
    return path;
}

namespace {

// A profile's file, read only when it is a regular file a profile could fill.
RegularFileContent ReadProfileFile(std::string_view path) { return ReadRegularFile(path, kMaxProfileFileSize); }

// What the user is told when a profile's file cannot be loaded: a file too
// large to be a profile is a damaged one.
std::string_view LoadFailureText(RegularFileRead status) {
    return status == RegularFileRead::TooLarge ? kDamagedFileText : kOpenErrorText;
}

// Why a profile's file is not written over at all.
Error RefusedSaveCause(std::string_view path, RegularFileRead status) {
    Error cause;
    switch (status) {
    case RegularFileRead::Missing:
        SetSystemError(&cause, "save", path, SystemErrorCode(SystemErrorKind::NotFound));
        break;
    case RegularFileRead::NotRegular: SetError(&cause, "save", path, 0, "not a regular file"); break;
    case RegularFileRead::Ok:  // the record is too large for a profile
    case RegularFileRead::TooLarge: SetError(&cause, "save", path, 0, "too large for a profile"); break;
    case RegularFileRead::Failed: SetError(&cause, "save", path, 0, "cannot be read"); break;
    }
    return cause;
}

}  // namespace

template <typename Record>
Bytes EncodeRecord(Record record) {
    ProfileArchive archive = ProfileArchive::ForStoring();
    Serialize(record, archive);
    return archive.bytes();
}

template <typename Record>
bool DecodeRecord(std::span<const std::uint8_t> bytes, Record& record) {
    // Loaded into a copy so a short file never passes on a half-filled record.
    Record loaded = record;
    ProfileArchive archive = ProfileArchive::ForLoading(bytes);
    Serialize(loaded, archive);
    if (!archive.ok()) return false;
    record = std::move(loaded);
    return true;
}

template <typename Record>
bool SaveProfileRecord(const Record& record, std::string_view path, Prompter& prompter) {
    // Only an existing regular file of a profile's size is written over (a
    // FIFO or a link to a device is no profile), and no record larger than
    // a profile can hold is written: the listing would call it damaged.
    const RegularFileContent existing = ReadProfileFile(path);
    Bytes content = EncodeRecord(record);
    if (existing.status != RegularFileRead::Ok || content.size() > kMaxProfileFileSize) {
        prompter.Tell(kSaveErrorText, kSaveErrorCaption, RefusedSaveCause(path, existing.status));
        return false;
    }
    if (existing.bytes.size() > content.size())
        content.insert(content.end(), existing.bytes.begin() + static_cast<std::ptrdiff_t>(content.size()),
                       existing.bytes.end());
    if (Error error; !WriteWholeFileAtomic(path, content, &error)) {
        prompter.Tell(kSaveErrorText, kSaveErrorCaption, error);
        return false;
    }
    return true;
}

template <typename Record>
bool LoadProfileRecord(Record& record, std::string_view path, Prompter& prompter) {
    const RegularFileContent file = ReadProfileFile(path);
    if (file.status != RegularFileRead::Ok) {
        prompter.Tell(LoadFailureText(file.status), kOpenErrorCaption);
        return false;
    }
    if (!DecodeRecord(file.bytes, record)) {
        prompter.Tell(kDamagedFileText, kOpenErrorCaption);
        return false;
    }
    return true;
}

#define DRAVOLO_INSTANTIATE(Record)                                              \
    template Bytes EncodeRecord(Record);                                         \
    template bool DecodeRecord(std::span<const std::uint8_t>, Record&);          \
    template bool SaveProfileRecord(const Record&, std::string_view, Prompter&); \
    template bool LoadProfileRecord(Record&, std::string_view, Prompter&);
DRAVOLO_INSTANTIATE(_EPSXEDATA)
DRAVOLO_INSTANTIATE(_FPSEDATA)
DRAVOLO_INSTANTIATE(_PSINEXDATA)
DRAVOLO_INSTANTIATE(_ADRIPSXDATA)
DRAVOLO_INSTANTIATE(_PCSXDATA)
#undef DRAVOLO_INSTANTIATE

bool SaveAnyRecord(const AnyProfileRecord& record, std::string_view path, Prompter& prompter) {
    return std::visit([&](const auto& r) { return SaveProfileRecord(r, path, prompter); }, record);
}

bool LoadAnyRecord(AnyProfileRecord& record, std::string_view path, Prompter& prompter) {
    return std::visit([&](auto& r) { return LoadProfileRecord(r, path, prompter); }, record);
}

bool CreateProfileFile(EmulatorKind kind, std::string_view path, const SettingsStore& settings) {
    if (path.empty()) return false;
    const Bytes content = std::visit([](auto r) { return EncodeRecord(r); }, MakeDefaultRecord(kind, settings));
    // CreateNew refuses an existing file, so a profile is never overwritten here.
    auto file = WinFile::Open(path, WinFile::Mode::CreateNew);
    if (!file) return false;
    const bool written = file->Write(content.data(), content.size()) && file->Flush();
    if (!written) {
        file.reset();
        (void)DeleteFileAt(path);  // no half-written profile stays behind; the failure is the answer
        return false;
    }
    return true;
}

bool EnumerateProfiles(EmulatorKind kind, ProfileList& list, const SettingsStore& settings, Prompter& prompter) {
    list = {};
    const std::string directory(KindInfo(kind).directory);
    for (const auto& entry : FindFiles(directory + "\\*.set", FindWhat::FilesOnly))
        list.fileNames.push_back(entry.name);
    // One default record per listing: the settings cannot change in between,
    // and reading them for each of thousands of files would dominate the walk.
    const AnyProfileRecord defaults = MakeDefaultRecord(kind, settings);
    AnyProfileRecord record = defaults;
    bool reported = false;
    for (const auto& name : list.fileNames) {
        // Decoded in place: a file that does not load lists the defaults.
        const RegularFileContent file = ReadProfileFile(directory + "\\" + name);
        const bool read = file.status == RegularFileRead::Ok;
        const bool loaded = read && std::visit(
                                        [&](auto& r) {
                                            ProfileArchive archive = ProfileArchive::ForLoading(file.bytes);
                                            Serialize(r, archive);
                                            return archive.ok();
                                        },
                                        record);
        // One message per listing: a folder of damaged files must not bury
        // the user in boxes every time the list is filled.
        if (!loaded && !reported) {
            prompter.Tell(read ? kDamagedFileText : LoadFailureText(file.status), kOpenErrorCaption);
            reported = true;
        }
        if (!loaded) record = defaults;
        const CProfileProperties& properties = PropertiesOf(record);
        list.descriptions.push_back(properties.Description);
        list.bitmapFiles.push_back(properties.BitmapFile);
    }
    return !list.fileNames.empty();
}

bool RenameProfileFile(std::string_view oldPath, std::string_view newPath) {
    if (oldPath.empty() || newPath.empty() || oldPath == newPath) return false;
    return RenameNoReplace(oldPath, newPath);
}

}  // namespace dravolo
