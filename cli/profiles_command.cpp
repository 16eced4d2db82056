#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <set>

#include "cli/cli.h"
#include "common/base/text.h"
#include "common/platform/process.h"
#include "common/platform/registry.h"
#include "common/platform/winfs.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/profile_manager.h"
#include "frontend/shell/profile_shortcut.h"

namespace dravolo::cli {

namespace {

// Prints each field once, in file order (ePSXe's second AutoPpfLoad is the
// same field).
struct ShowVisitor {
    std::ostream& out;
    std::set<std::string_view> seen;
    bool First(std::string_view name) { return seen.insert(name).second; }
    void Flag(std::string_view name, std::uint8_t& v) {
        if (First(name)) out << name << '=' << static_cast<int>(v) << '\n';
    }
    void Int(std::string_view name, std::int32_t& v) {
        if (First(name)) out << name << '=' << v << '\n';
    }
    void Text(std::string_view name, std::string& v) {
        if (First(name)) out << name << '=' << ForTerminal(v) << '\n';
    }
};

// Assigns one field by name; records what went wrong for the message.
struct SetVisitor {
    std::string_view name;
    std::string_view value;
    bool found = false;
    std::string error;

    bool Match(std::string_view field) { return !found && EqualsNoCase(field, name); }
    void Flag(std::string_view field, std::uint8_t& v) {
        if (!Match(field)) return;
        found = true;
        if (value == "0" || value == "1") v = static_cast<std::uint8_t>(value[0] - '0');
        else error = std::string(field) + " is a flag: use 0 or 1.";
    }
    void Int(std::string_view field, std::int32_t& v) {
        if (!Match(field)) return;
        found = true;
        std::int32_t parsed = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), parsed);
        if (ec == std::errc() && end == value.data() + value.size()) v = parsed;
        else error = std::string(field) + " takes a whole number.";
    }
    void Text(std::string_view field, std::string& v) {
        if (!Match(field)) return;
        found = true;
        v = std::string(value);
    }
};

std::optional<EmulatorKind> KindArgument(const std::string& text, Context& context) {
    const auto kind = KindFromDirectoryName(text);
    if (!kind)
        context.err << "dravolo-cli: unknown emulator '" << ForTerminal(text)
                    << "' (use Epsxe, Fpse, Psinex, Adripsx or Pcsx)\n";
    return kind;
}

// A name that cannot be a profile's never reaches the file system.
bool NameIsUsable(const std::string& name, Context& context) {
    if (auto problem = ProfileNameProblem(name)) {
        Report(context, *problem, kBadNameCaption);
        return false;
    }
    return true;
}

std::string NameWithoutExtension(const std::string& fileName) {
    return fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : fileName;
}

int List(EmulatorKind kind, const SettingsStore& settings, Context& context) {
    ProfileList list;
    EnumerateProfiles(kind, list, settings, context.prompter);
    for (std::size_t i = 0; i < list.fileNames.size(); ++i)
        context.out << ForTerminal(NameWithoutExtension(list.fileNames[i])) << '\t' << ForTerminal(list.descriptions[i])
                    << '\t' << ForTerminal(list.bitmapFiles[i]) << '\n';
    return kOk;
}

int New(EmulatorKind kind, const std::vector<std::string>& args, const SettingsStore& settings, Context& context) {
    std::optional<std::string> description, bitmap;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if ((args[i] == "--description" || args[i] == "--bitmap") && i + 1 < args.size()) {
            (args[i] == "--description" ? description : bitmap) = args[i + 1];
            ++i;
        } else {
            context.err << "dravolo-cli: unexpected argument '" << ForTerminal(args[i]) << "'\n";
            return kUsage;
        }
    }
    if (TrimSpaces(args[0]).empty()) {
        context.err << "dravolo-cli: a profile needs a name\n";
        return kUsage;
    }
    return CreateNewProfile(kind, args[0], description, bitmap, settings, context.prompter) ? kOk : kFailed;
}

int Show(EmulatorKind kind, const std::string& name, const SettingsStore& settings, Context& context) {
    if (!NameIsUsable(name, context)) return kFailed;
    AnyProfileRecord record = MakeDefaultRecord(kind, settings);
    if (!LoadAnyRecord(record, ProfilePath(kind, name), context.prompter)) return kFailed;
    std::visit(
        [&](auto& r) {
            ShowVisitor show{context.out, {}};
            r.VisitFields(show);
        },
        record);
    return kOk;
}

int Set(EmulatorKind kind, const std::vector<std::string>& args, const SettingsStore& settings, Context& context) {
    if (!NameIsUsable(args[0], context)) return kFailed;
    const std::string path = ProfilePath(kind, args[0]);
    AnyProfileRecord record = MakeDefaultRecord(kind, settings);
    if (!LoadAnyRecord(record, path, context.prompter)) return kFailed;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto eq = args[i].find('=');
        if (eq == std::string::npos || eq == 0) {
            context.err << "dravolo-cli: expected Field=value, got '" << ForTerminal(args[i]) << "'\n";
            return kUsage;
        }
        SetVisitor set;
        set.name = std::string_view(args[i]).substr(0, eq);
        set.value = std::string_view(args[i]).substr(eq + 1);
        std::visit([&](auto& r) { r.VisitFields(set); }, record);
        if (!set.found) {
            context.err << "dravolo-cli: no field '" << ForTerminal(set.name) << "' in a " << KindInfo(kind).directory
                        << " profile\n";
            return kUsage;
        }
        if (!set.error.empty()) {
            context.err << "dravolo-cli: " << set.error << '\n';
            return kUsage;
        }
    }
    return SaveAnyRecord(record, path, context.prompter) ? kOk : kFailed;
}

int Rename(EmulatorKind kind, const std::string& oldName, const std::string& newName, Context& context) {
    if (!FileExists(ProfilePath(kind, oldName)) && !ProfileNameProblem(oldName)) {
        Report(context, kOpenErrorText, kOpenErrorCaption);
        return kFailed;
    }
    switch (RenameProfile(kind, oldName, newName, context.prompter)) {
    case RenameOutcome::Renamed: return kOk;
    case RenameOutcome::Unchanged: return TrimSpaces(newName).empty() ? kUsage : kOk;
    case RenameOutcome::Refused: return kFailed;
    case RenameOutcome::Failed: break;
    }
    // The dialog stays open silently here; on the command line say why.
    context.err << "dravolo-cli: cannot rename '" << ForTerminal(oldName) << "' to '"
                << ForTerminal(TrimSpaces(newName)) << "': a profile of that name exists\n";
    return kFailed;
}

int Delete(EmulatorKind kind, const std::vector<std::string>& names, Context& context) {
    const PromptAnswer answer = context.prompter.Ask(kDeleteQuestionText, kDeleteQuestionCaption, PromptIcon::Question,
                                                     PromptButtons::YesNo, PromptAnswer::No);
    if (answer != PromptAnswer::Yes) return kFailed;
    int result = kOk;
    for (const auto& name : names) {
        // A profile that is not there is said so; one that cannot go has been
        // reported by the delete.
        const bool existed = ProfileNameProblem(name) || FileExists(ProfilePath(kind, name));
        if (!DeleteProfileFiles(kind, name, context.prompter)) {
            result = kFailed;
        } else if (!existed) {
            context.err << "dravolo-cli: no profile '" << ForTerminal(name) << "'\n";
            result = kFailed;
        }
    }
    return result;
}

std::string EnvironmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? std::string(value) : fallback;
}

// A .desktop file in DIR (default: the desktop folder) that launches the
// profile; its icon is the profile picture, kept as PNG in our data folder.
int Shortcut(EmulatorKind kind, const std::vector<std::string>& args, const SettingsStore& settings, Context& context) {
    namespace fs = std::filesystem;
    const std::string& name = args[0];
    if (!NameIsUsable(name, context)) return kFailed;
    AnyProfileRecord record = MakeDefaultRecord(kind, settings);
    if (!LoadAnyRecord(record, ProfilePath(kind, name), context.prompter)) return kFailed;
    std::string description, bitmap;
    std::visit(
        [&](auto& r) {
            description = r.Properties.Description;
            bitmap = r.Properties.BitmapFile;
        },
        record);

    const char* homeValue = std::getenv("HOME");
    const std::string home = homeValue ? homeValue : "";
    const std::string dir = args.size() > 1 ? args[1] : EnvironmentOr("XDG_DESKTOP_DIR", home + "/Desktop");
    const std::string base = ShortcutBaseName(kind, name);
    ProfileShortcut shortcut;
    shortcut.kind = kind;
    shortcut.profileName = ForTerminal(name);
    shortcut.description = ForTerminal(description);
    std::error_code ec;
    shortcut.workdir = fs::current_path(ec).string();
    shortcut.cliProgram = OwnProgramDirectory() + "/dravolo-cli";
    shortcut.icon = "dravolo";  // the program's own icon when the profile has no picture
    if (const auto png = ProfilePictureAsPng(bitmap)) {
        const fs::path icons = fs::path(EnvironmentOr("XDG_DATA_HOME", home + "/.local/share")) / "dravolo" / "icons";
        fs::create_directories(icons, ec);
        const std::string iconPath = (icons / (base + ".png")).string();
        if (Error error; !WriteWholeFileAtomic(iconPath, *png, &error)) {
            context.err << "dravolo-cli: cannot write " << iconPath << " (" << error.cause << ")\n";
            return kFailed;
        }
        shortcut.icon = iconPath;
    } else if (bitmap.find_first_not_of(' ') != std::string::npos) {
        context.err << "dravolo-cli: the picture " << ForTerminal(bitmap)
                    << " cannot be read; the shortcut gets the program's icon\n";
    }
    fs::create_directories(dir, ec);
    const std::string file = (fs::path(dir) / (base + ".desktop")).string();
    const std::string text = DesktopEntryText(shortcut);
    if (Error error; !WriteWholeFileAtomic(
            file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), &error)) {
        context.err << "dravolo-cli: cannot write " << file << " (" << error.cause << ")\n";
        return kFailed;
    }
    // Desktops start only launchers that may be executed.
    fs::permissions(file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add,
                    ec);
    context.out << file << "\n";
    return kOk;
}

}  // namespace

int RunProfiles(const std::vector<std::string>& args, Context& context) {
    if (args.size() < 2) {
        context.err << "dravolo-cli: profiles needs a subcommand and an emulator\n";
        return kUsage;
    }
    const std::string& verb = args[0];
    const auto kind = KindArgument(args[1], context);
    if (!kind) return kUsage;
    auto registry = OpenSystemRegistry();
    if (!registry) {
        context.err << "dravolo-cli: the registry cannot be opened\n";
        return kFailed;
    }
    const SettingsStore settings(*registry);
    const std::vector<std::string> rest(args.begin() + 2, args.end());

    if (verb == "list" && rest.empty()) return List(*kind, settings, context);
    if (verb == "new" && !rest.empty()) return New(*kind, rest, settings, context);
    if (verb == "show" && rest.size() == 1) return Show(*kind, rest[0], settings, context);
    if (verb == "set" && rest.size() >= 2) return Set(*kind, rest, settings, context);
    if (verb == "rename" && rest.size() == 2) return Rename(*kind, rest[0], rest[1], context);
    if (verb == "delete" && !rest.empty()) return Delete(*kind, rest, context);
    if (verb == "shortcut" && (rest.size() == 1 || rest.size() == 2)) return Shortcut(*kind, rest, settings, context);
    context.err << "dravolo-cli: bad use of 'profiles " << ForTerminal(verb) << "' (see --help)\n";
    return kUsage;
}

}  // namespace dravolo::cli
