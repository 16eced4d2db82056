#pragma once
// Creating, renaming and deleting whole profiles: the ".set" record and its
// side files move and go together. Used by the profile dialog, the list's
// Delete command and dravolo-cli.

#include <optional>
#include <string>
#include <string_view>

#include "common/base/prompter.h"
#include "frontend/core/emulator_kind.h"

namespace dravolo {

class SettingsStore;

inline constexpr std::string_view kCreateErrorText = "Error creating new profile.\nCheck if profile exists.";
inline constexpr std::string_view kCreateErrorCaption = "File Creation Error";
inline constexpr std::string_view kDeleteQuestionText = "Delete Selected Configuration?";
inline constexpr std::string_view kDeleteQuestionCaption = "Delete Config";
inline constexpr std::string_view kBadNameCaption = "Profile Name Error";
inline constexpr std::string_view kTextCaption = "Profile Properties";

// Side files in the order a rename moves them and a delete removes them.
inline constexpr std::string_view kRenamedSideFiles[] = {".cdr", ".gpu", ".spu", ".ini", ".pad"};
inline constexpr std::string_view kDeletedFiles[] = {".set", ".cdr", ".gpu", ".ini", ".spu", ".pad"};

// A profile name becomes a file name. Returns the message to show when it
// cannot be one: characters Windows forbids in file names, control
// characters, "." and "..", device names, or too long a name. The name is
// taken as given (callers trim spaces first).
std::optional<std::string> ProfileNameProblem(std::string_view name);

// A profile's texts are ANSI: a character the code page has no room for
// would be stored as '?'. The message naming it ("U+30D5") for a field
// ("name", "description", "bitmap file").
std::string CharacterOutsideAnsiText(std::string_view field, char32_t character);

// New profile with a description and picture (empty texts keep the one-space
// defaults). False when the name is empty after trimming (nothing shown), when
// the name is refused, or when the file exists or cannot be made. The kind's
// folder is made when it is missing: the front end owns it.
bool CreateNewProfile(EmulatorKind kind, std::string_view rawName, std::optional<std::string> description,
                      std::optional<std::string> bitmapFile, const SettingsStore& settings, Prompter& prompter);

enum class RenameOutcome { Renamed, Unchanged, Refused, Failed };
// Renames old.set to new.set and, when that worked, the side files (each
// result ignored). Never replaces an existing profile: Failed, silently. A
// side file already carrying the new name (which the profile would adopt,
// leaving its own behind) refuses the rename with a message, before anything
// is moved.
RenameOutcome RenameProfile(EmulatorKind kind, std::string_view oldName, std::string_view rawNewName,
                            Prompter& prompter);

// Removes the profile's record and side files; a missing side file is no
// error. True when the profile is gone (also when its record was gone
// already). A name that cannot be a profile's is refused before anything is
// touched; a record that cannot be deleted keeps its side files (the profile
// stays whole) and is reported. Either way false.
bool DeleteProfileFiles(EmulatorKind kind, std::string_view name, Prompter& prompter);

}  // namespace dravolo
