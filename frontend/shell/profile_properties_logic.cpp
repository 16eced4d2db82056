#include "frontend/shell/profile_properties_logic.h"

#include "common/base/text.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/profile_manager.h"
#include "frontend/profiles/records.h"

namespace dravolo {

ProfilePropertiesLogic::ProfilePropertiesLogic(EmulatorKind kind, bool toBeCreated, std::string existingName,
                                               const SettingsStore& settings, Prompter& prompter)
    : kind_(kind),
      toBeCreated_(toBeCreated),
      fileName_(std::move(existingName)),
      settings_(settings),
      prompter_(prompter) {}

bool ProfilePropertiesLogic::RenameIfChanged(const std::string& newName) {
    // The old name is the one the files carry now, not whatever the box held
    // at the last failed attempt: a refused rename must not later move
    // another profile's files.
    if (fileName_.empty() || newName == fileName_) return true;
    switch (RenameProfile(kind_, fileName_, newName, prompter_)) {
    case RenameOutcome::Renamed: fileName_ = newName; return true;
    case RenameOutcome::Unchanged: return true;
    case RenameOutcome::Refused:
    case RenameOutcome::Failed: return false;
    }
    return false;
}

bool ProfilePropertiesLogic::Accept(ProfileFields& fields) {
    fields.name = TrimSpaces(fields.name);
    if (fields.name.empty()) return true;
    if (toBeCreated_) {
        // Refused here rather than after the dialog has gone, so the user can
        // correct the name.
        if (auto problem = ProfileNameProblem(fields.name)) {
            prompter_.Tell(*problem, kBadNameCaption);
            return false;
        }
        return true;
    }
    return RenameIfChanged(fields.name);
}

std::optional<std::string> ProfilePropertiesLogic::ConfigureGameOptions(ProfileFields& fields) {
    fields.name = TrimSpaces(fields.name);
    if (fields.name.empty()) return std::nullopt;
    if (toBeCreated_) {
        // CreateNewProfile refuses bad names and existing files with its message.
        if (!CreateNewProfile(kind_, fields.name, fields.description, fields.bitmapFile, settings_, prompter_))
            return std::nullopt;
        createdFile_ = true;
        toBeCreated_ = false;
        fileName_ = fields.name;
    } else if (!RenameIfChanged(fields.name)) {
        return std::nullopt;
    }
    return ProfilePath(kind_, fileName_);
}

std::optional<ProfileFields> LoadProfileFields(EmulatorKind kind, const std::string& name,
                                               const SettingsStore& settings, Prompter& prompter) {
    AnyProfileRecord record = MakeDefaultRecord(kind, settings);
    if (!LoadAnyRecord(record, ProfilePath(kind, name), prompter)) return std::nullopt;
    const CProfileProperties& properties = PropertiesOf(record);
    return ProfileFields{name, properties.Description, properties.BitmapFile};
}

namespace {

bool StoreProperties(EmulatorKind kind, const ProfileFields& fields, const SettingsStore& settings,
                     Prompter& prompter) {
    const std::string path = ProfilePath(kind, fields.name);
    AnyProfileRecord record = MakeDefaultRecord(kind, settings);
    if (!LoadAnyRecord(record, path, prompter)) return false;
    PropertiesOf(record).Description = fields.description;
    PropertiesOf(record).BitmapFile = fields.bitmapFile;
    return SaveAnyRecord(record, path, prompter);
}

}  // namespace

bool FinishNewProfile(EmulatorKind kind, const ProfileFields& fields, bool createdByDialog,
                      const SettingsStore& settings, Prompter& prompter) {
    if (fields.name.empty()) return false;
    if (createdByDialog) return StoreProperties(kind, fields, settings, prompter);
    return CreateNewProfile(kind, fields.name, fields.description, fields.bitmapFile, settings, prompter);
}

bool FinishEditProfile(EmulatorKind kind, const ProfileFields& fields, const SettingsStore& settings,
                       Prompter& prompter) {
    if (fields.name.empty()) return false;
    return StoreProperties(kind, fields, settings, prompter);
}

}  // namespace dravolo
