#pragma once
// Profile files: one ".set" record per profile in the emulator's folder below
// the working directory, plus side files of the same name (".gpu", ".spu",
// ".cdr", ".pad" plugin settings and FPSE's ".ini"). Messages go through the
// Prompter with the product's texts.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/bytes.h"
#include "common/base/prompter.h"
#include "frontend/profiles/records.h"

namespace dravolo {

class SettingsStore;

inline constexpr std::string_view kSaveErrorText = "Cannot Save to File.";
inline constexpr std::string_view kSaveErrorCaption = "File Save Error";
inline constexpr std::string_view kOpenErrorText = "Cannot Open File.";
inline constexpr std::string_view kOpenErrorCaption = "File Open Error";
// A file that opens but ends before its record is complete.
inline constexpr std::string_view kDamagedFileText = "Unexpected file format.";

// The most a profile file can hold. A record is a few dozen texts (paths,
// a description); a file larger than this is a damaged profile, and a record
// that would make one is not saved. Reads never go beyond it.
inline constexpr std::size_t kMaxProfileFileSize = 1u << 20;

// ".\\Epsxe\\Crash.set": how a single profile is addressed.
std::string ProfilePath(EmulatorKind kind, std::string_view name, std::string_view extension = ".set");

// Bytes of a record in its file layout, trailer included.
template <typename Record>
Bytes EncodeRecord(Record record);
// Fills record from bytes; false (record untouched) when the bytes end before
// the last field.
template <typename Record>
bool DecodeRecord(std::span<const std::uint8_t> bytes, Record& record);

// Save: the profile's file must exist already ("Cannot Save to File." when it
// does not). The new record replaces the file atomically; bytes of the former
// file beyond the new record stay behind it, as an overwrite in place leaves them.
template <typename Record>
bool SaveProfileRecord(const Record& record, std::string_view path, Prompter& prompter);
// Load: on any failure the record keeps what it had and the user is told.
template <typename Record>
bool LoadProfileRecord(Record& record, std::string_view path, Prompter& prompter);

bool SaveAnyRecord(const AnyProfileRecord& record, std::string_view path, Prompter& prompter);
bool LoadAnyRecord(AnyProfileRecord& record, std::string_view path, Prompter& prompter);

// Creates the file with a default record of the kind. False, showing nothing,
// for an empty path or an existing file.
bool CreateProfileFile(EmulatorKind kind, std::string_view path, const SettingsStore& settings);

// The kind's profiles in the order the folder lists them. A profile whose file
// cannot be read is still listed, with the default description and picture;
// the first such file of a listing is reported.
struct ProfileList {
    std::vector<std::string> fileNames;  // "Crash.set"
    std::vector<std::string> descriptions;
    std::vector<std::string> bitmapFiles;
};
bool EnumerateProfiles(EmulatorKind kind, ProfileList& list, const SettingsStore& settings, Prompter& prompter);

// False without trying when a path is empty or both are equal; never replaces.
bool RenameProfileFile(std::string_view oldPath, std::string_view newPath);

}  // namespace dravolo
