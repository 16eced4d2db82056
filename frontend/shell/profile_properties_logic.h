#pragma once
// What the Profile Properties dialog and the New/Edit Profile commands do with
// the files, apart from the widgets: name trimming, creating the profile from
// "Configure Game Options", renaming on OK, and storing description and
// picture path when the dialog has closed.

#include <optional>
#include <string>

#include "common/base/prompter.h"
#include "frontend/core/emulator_kind.h"

namespace dravolo {

class SettingsStore;

struct ProfileFields {
    std::string name;
    std::string description;
    std::string bitmapFile;
};

class ProfilePropertiesLogic {
public:
    // New Profile: toBeCreated with no existing name. Edit Profile: the name
    // of the profile's files.
    ProfilePropertiesLogic(EmulatorKind kind, bool toBeCreated, std::string existingName, const SettingsStore& settings,
                           Prompter& prompter);

    // OK: trims the name, renames the profile when its name changed. True when
    // the dialog closes as accepted; false keeps it open (the new name is
    // taken, or refused with a message).
    bool Accept(ProfileFields& fields);

    // "Configure Game Options": creates the profile when it is still to be
    // created, else renames it when the name changed. The ".set" path for the
    // option sheet, or nullopt when nothing is to be opened.
    std::optional<std::string> ConfigureGameOptions(ProfileFields& fields);

    bool toBeCreated() const { return toBeCreated_; }
    bool createdFile() const { return createdFile_; }
    // The name the profile's files have now ("" while none exist).
    const std::string& fileName() const { return fileName_; }
    EmulatorKind kind() const { return kind_; }

private:
    bool RenameIfChanged(const std::string& newName);

    EmulatorKind kind_;
    bool toBeCreated_;
    bool createdFile_ = false;
    std::string fileName_;
    const SettingsStore& settings_;
    Prompter& prompter_;
};

// The fields for Edit Profile, read from the profile's file; nullopt (the
// load has told the user) when it cannot be read.
std::optional<ProfileFields> LoadProfileFields(EmulatorKind kind, const std::string& name,
                                               const SettingsStore& settings, Prompter& prompter);

// After New Profile's dialog closed as accepted with a name: stores
// description and picture path in the profile the dialog created, or creates
// it now ("Error creating new profile..." when that fails).
bool FinishNewProfile(EmulatorKind kind, const ProfileFields& fields, bool createdByDialog,
                      const SettingsStore& settings, Prompter& prompter);

// After Edit Profile's dialog closed as accepted: stores description and
// picture path in the profile as it is now named.
bool FinishEditProfile(EmulatorKind kind, const ProfileFields& fields, const SettingsStore& settings,
                       Prompter& prompter);

}  // namespace dravolo
