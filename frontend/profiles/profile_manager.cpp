#include "frontend/profiles/profile_manager.h"

#include "common/base/text.h"
#include "common/platform/winfs.h"
#include "frontend/core/card_snapshots.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"

namespace dravolo {

namespace {

// Longest file name component NTFS takes.
constexpr std::size_t kMaxComponent = 255;

bool IsDeviceName(std::string_view name) {
    // Windows opens the device whatever the extension: "con.set" is the console.
    const std::string base = UpperAnsi(name.substr(0, name.find('.')));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    if (base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' && base[3] <= '9')
        return true;
    return false;
}

}  // namespace

std::optional<std::string> ProfileNameProblem(std::string_view name) {
    if (name == "." || name == "..")
        return std::string("\"") + std::string(name) + "\" cannot be used as a profile name.";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return std::string(
                "A profile name cannot contain control characters or any of these characters:\n\\ / : * ? \" < > |");
    }
    if (IsDeviceName(name)) return std::string("\"") + std::string(name) + "\" is reserved for a device by Windows.";
    if (name.size() + 4 > kMaxComponent) return std::string("The profile name is too long.");
    return std::nullopt;
}

std::string CharacterOutsideAnsiText(std::string_view field, char32_t character) {
    return "The " + std::string(field) + " cannot hold the character " + CodePointName(character) +
           ": profiles keep their texts in the ANSI code page, which has no such character.";
}

bool CreateNewProfile(EmulatorKind kind, std::string_view rawName, std::optional<std::string> description,
                      std::optional<std::string> bitmapFile, const SettingsStore& settings, Prompter& prompter) {
    const std::string name = TrimSpaces(rawName);
    if (name.empty()) return false;
    if (auto problem = ProfileNameProblem(name)) {
        prompter.Tell(*problem, kBadNameCaption);
        return false;
    }
    const std::string path = ProfilePath(kind, name);
    const std::string folder = ".\\" + std::string(KindInfo(kind).directory);
    if (!DirectoryExists(folder)) (void)CreateDir(folder);  // a failure shows as the creation's
    if (!CreateProfileFile(kind, path, settings)) {
        prompter.Tell(kCreateErrorText, kCreateErrorCaption);
        return false;
    }
    if (!description && !bitmapFile) return true;
    AnyProfileRecord record = MakeDefaultRecord(kind, settings);
    if (description) PropertiesOf(record).Description = *description;
    if (bitmapFile) PropertiesOf(record).BitmapFile = *bitmapFile;
    return SaveAnyRecord(record, path, prompter);
}

RenameOutcome RenameProfile(EmulatorKind kind, std::string_view oldName, std::string_view rawNewName,
                            Prompter& prompter) {
    const std::string newName = TrimSpaces(rawNewName);
    if (newName.empty() || oldName.empty() || newName == oldName) return RenameOutcome::Unchanged;
    for (const std::string_view name : {oldName, std::string_view(newName)}) {
        if (auto problem = ProfileNameProblem(name)) {
            prompter.Tell(*problem, kBadNameCaption);
            return RenameOutcome::Refused;
        }
    }
    // Names that differ only in case find the profile's own files (names
    // resolve as on Windows): nothing to check, the file system renames them.
    const bool caseOnly = EqualsNoCase(oldName, newName);
    // A profile of the new name: refused silently, as the dialog stays open.
    if (!caseOnly && FileExists(ProfilePath(kind, newName))) return RenameOutcome::Failed;
    for (const auto extension : kRenamedSideFiles) {
        const std::string target = ProfilePath(kind, newName, extension);
        if (caseOnly || !FileExists(target)) continue;
        prompter.Tell("The file " + target + " exists already: the profile cannot take the name \"" + newName +
                          "\" until it is moved away.",
                      kBadNameCaption);
        return RenameOutcome::Refused;
    }
    // The card snapshots go with the profile, so a folder of the new name is checked too.
    if (!caseOnly && DirectoryExists(memcards::SnapshotFolderOf(ProfilePath(kind, newName, "")))) {
        prompter.Tell("The folder " + memcards::SnapshotFolderOf(ProfilePath(kind, newName, "")) +
                          " exists already: the profile cannot take the name \"" + newName +
                          "\" until it is moved away.",
                      kBadNameCaption);
        return RenameOutcome::Refused;
    }
    if (!RenameProfileFile(ProfilePath(kind, oldName), ProfilePath(kind, newName))) return RenameOutcome::Failed;
    for (const auto extension : kRenamedSideFiles)
        // Most profiles lack most side files; one that stays keeps its settings for the old name.
        (void)RenameNoReplace(ProfilePath(kind, oldName, extension), ProfilePath(kind, newName, extension));
    memcards::MoveSnapshotFolder(ProfilePath(kind, oldName, ""), ProfilePath(kind, newName, ""));
    return RenameOutcome::Renamed;
}

bool DeleteProfileFiles(EmulatorKind kind, std::string_view name, Prompter& prompter) {
    if (auto problem = ProfileNameProblem(name)) {
        prompter.Tell(*problem, kBadNameCaption);
        return false;
    }
    const std::string record = ProfilePath(kind, name);
    if (Error error; !DeleteFileAt(record, &error) && FileExists(record)) {
        prompter.Tell("The profile \"" + std::string(name) + "\" could not be deleted.", kDeleteQuestionCaption, error);
        return false;
    }
    for (const auto extension : kDeletedFiles)
        if (extension != ".set") (void)DeleteFileAt(ProfilePath(kind, name, extension));  // most are missing
    memcards::DeleteSnapshotFolder(ProfilePath(kind, name, ""));
    return true;
}

}  // namespace dravolo
