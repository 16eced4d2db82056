#pragma once
// Creating, renaming and deleting whole profiles: the ".set" record and its
// side files move and go together. Used by the profile dialog, the list's
// Delete command and dravolo-cli.

#include <optional>
#include <string>
#include <string_view>

#include "common/base/prompter.h"
#include "frontend/profiles/emulator_kind.h"

namespace dravolo {

class SettingsStore;

inline constexpr std::string_view kCreateErrorText = "Error creating new profile.\nCheck if profile exists.";
inline constexpr std::string_view kCreateErrorCaption = "File Creation Error";
inline constexpr std::string_view kDeleteQuestionText = "Delete Selected Configuration?";
inline constexpr std::string_view kDeleteQuestionCaption = "Delete Config";
inline constexpr std::string_view kBadNameCaption = "Profile Name Error";

// Side files in the order a rename moves them and a delete removes them.
inline constexpr std::string_view kRenamedSideFiles[] = {".cdr", ".gpu", ".spu", ".ini", ".pad"};
inline constexpr std::string_view kDeletedFiles[] = {".set", ".cdr", ".gpu", ".ini", ".spu", ".pad"};

// A profile name becomes a file name. Returns the message to show when it
// cannot be one: characters Windows forbids in file names, control
// characters, "." and "..", device names, or too long a name. The name is
// taken as given (callers trim spaces first).
std::optional<std::string> ProfileNameProblem(std::string_view name);

// New profile with a description and picture (empty texts keep the one-space
// defaults). False when the name is empty after trimming (nothing shown), when
// the name is refused, or when the file exists or cannot be made.
bool CreateNewProfile(EmulatorKind kind, std::string_view rawName, std::optional<std::string> description,
                      std::optional<std::string> bitmapFile, const SettingsStore& settings, Prompter& prompter);

enum class RenameOutcome { Renamed, Unchanged, Refused, Failed };
// Renames old.set to new.set and, when that worked, the side files (each
// result ignored). Never replaces an existing profile: Failed, silently.
RenameOutcome RenameProfile(EmulatorKind kind, std::string_view oldName, std::string_view rawNewName,
                            Prompter& prompter);

// Removes the profile's record and side files; a missing side file is no error.
// A name that cannot be a profile's is refused before anything is touched.
bool DeleteProfileFiles(EmulatorKind kind, std::string_view name, Prompter& prompter);

}  // namespace dravolo
