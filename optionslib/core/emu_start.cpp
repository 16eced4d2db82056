#include "optionslib/core/emu_start.h"

#include "common/platform/process.h"
#include "optionslib/core/interface_key.h"

namespace dravolo::kstuff {

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

// Switches ePSXe takes as "1"/"0" texts; the subchannel ones go to the names
// of both Windows families (ePSXe picks the pair for the system it runs on).
struct SwitchTranslation {
    std::string_view interfaceName;
    std::string_view emulatorName;
    std::string_view secondEmulatorName;  // empty when there is none
};
constexpr SwitchTranslation kSwitchTranslations[] = {
    {"SoundEnabled", "SoundEnabled", {}},
    {"SoundCDDA", "SoundCDDA", {}},
    {"SoundXA", "SoundXA", {}},
    {"SoundSpuIrq", "SoundSpuIrq", {}},
    {"SubchannelCdromEnabled", "SubchannelW9xCdromEnabled", "SubchannelW2kCdromEnabled"},
    {"SubchannelCaching", "SubchannelW9xCaching", "SubchannelW2kCaching"},
    {"SubchannelCachingLG", "SubchannelW9xCachingLG", "SubchannelW2kCachingLG"},
};

struct InterfaceOptions {
    bool startGui = false;
    std::string extraCommandLine;
};

// Translates the interface key into ePSXe's values; nullopt when one of its
// texts is too long to be used (it would be skipped or cut otherwise).
std::optional<InterfaceOptions> TranslateInterface(Registry& registry, RegBatch& out) {
    InterfaceOptions options;
    if (!registry.KeyExists(kUser, kInterfaceKey)) return options;

    for (const auto& pair : kPadPairs) {
        auto pad = ReadLimitedText(registry, kInterfaceKey, pair.interfaceName);
        if (pad.status == LimitedText::Status::TooLong) return std::nullopt;
        if (pad.present()) out.SetString(kUser, kEmulatorKey, pair.emulatorName, pad.text);
    }
    auto bios = ReadLimitedText(registry, kInterfaceKey, "BIOS");
    if (bios.status == LimitedText::Status::TooLong) return std::nullopt;
    if (bios.present()) out.SetString(kUser, kEmulatorKey, "BiosName", bios.text);
    for (const auto& sw : kSwitchTranslations) {
        const auto on = registry.QueryDword(kUser, kInterfaceKey, sw.interfaceName);
        if (!on) continue;
        const std::string_view text = *on != 0 ? "1" : "0";
        out.SetString(kUser, kEmulatorKey, sw.emulatorName, text);
        if (!sw.secondEmulatorName.empty()) out.SetString(kUser, kEmulatorKey, sw.secondEmulatorName, text);
    }
    // ePSXe's value counts the other way round: 0 loads patches automatically.
    if (auto autoPpf = registry.QueryDword(kUser, kInterfaceKey, "AutoPPF"))
        out.SetString(kUser, kEmulatorKey, "AutoPpfLoad", *autoPpf != 0 ? "0" : "255");
    if (auto gui = registry.QueryDword(kUser, kInterfaceKey, "StartGui")) options.startGui = *gui != 0;
    if (auto country = registry.QueryDword(kUser, kInterfaceKey, "Country"))
        out.SetString(kUser, kEmulatorKey, "Country", std::to_string(*country));
    if (auto letter = registry.QueryDword(kUser, kInterfaceKey, "CdromLetter"))
        out.SetString(kUser, kEmulatorKey, "CdromLetter", std::to_string(*letter));

    auto cmdLine = ReadLimitedText(registry, kInterfaceKey, "CmdLine");
    if (cmdLine.status == LimitedText::Status::TooLong) return std::nullopt;
    options.extraCommandLine = std::move(cmdLine.text);
    return options;
}

// The executable as the caller gave it, without the quotes it may have put
// around it; nullopt when a quote is anywhere else.
std::optional<std::string> UnquotedExecutable(std::string_view executable) {
    if (executable.size() >= 2 && executable.front() == '"' && executable.back() == '"')
        executable = executable.substr(1, executable.size() - 2);
    if (executable.find('"') != std::string_view::npos) return std::nullopt;
    return std::string(executable);
}

bool HoldsQuote(std::string_view text) { return text.find('"') != std::string_view::npos; }

// ePSXe's run-time splits its line by the C run-time's rules: quoted, with the
// backslashes before the closing quote doubled.
void AppendQuoted(std::string& line, std::string_view option, std::string_view path) {
    line.append(" ").append(option).append(" ").append(QuoteArgument(path, true));
}

std::optional<EmuStartPlan> Refuse(EmuStartError* error, EmuStartError why) {
    if (error) *error = why;
    return std::nullopt;
}

}  // namespace

std::string CardFolderFor(std::string_view executable) {
    const auto unquoted = UnquotedExecutable(executable);
    if (!unquoted) return {};
    const auto slash = unquoted->find_last_of("\\/");
    if (slash == std::string::npos) return {};
    return unquoted->substr(0, slash) + "\\memcards\\";
}

std::optional<EmuStartPlan> PlanEmuStart(Registry& registry, const EmuStartRequest& request, EmuStartError* error) {
    if (error) *error = EmuStartError::None;
    const auto executable = UnquotedExecutable(request.executable);
    if (!executable) return Refuse(error, EmuStartError::QuoteInArgument);
    if (executable->empty()) return Refuse(error, EmuStartError::EmptyExecutable);
    for (const std::string* text : {&request.videoPlugin, &request.soundPlugin, &request.cdromPlugin, &request.card1,
                                    &request.card2, &request.cheatFile, &request.netPlugin})
        if (HoldsQuote(*text)) return Refuse(error, EmuStartError::QuoteInArgument);

    EmuStartPlan plan;
    RegBatch& values = plan.emulatorValues;
    values.SetString(kUser, kEmulatorKey, "VideoPlugin", request.videoPlugin);
    values.SetString(kUser, kEmulatorKey, "SoundPlugin", request.soundPlugin);
    values.SetString(kUser, kEmulatorKey, "CdromPlugin", request.cdromPlugin);
    values.SetString(kUser, kEmulatorKey, "NetPlugin", request.netPlugin);
    const auto options = TranslateInterface(registry, values);
    if (!options) return Refuse(error, EmuStartError::ValueTooLong);

    std::string& line = plan.commandLine;
    // The program's own name is read up to the next quote, without escapes.
    line = "\"" + *executable + "\"";
    if (!options->startGui) line += " -nogui";
    if (!options->extraCommandLine.empty()) line.append(" ").append(options->extraCommandLine);
    else line += " -f";
    if (!request.cheatFile.empty()) AppendQuoted(line, "-loadcheat", request.cheatFile);
    const std::string cardFolder = request.cardPathsFull ? std::string() : CardFolderFor(*executable);
    if (!request.card1.empty()) AppendQuoted(line, "-loadmemc0", cardFolder + request.card1);
    if (!request.card2.empty()) AppendQuoted(line, "-loadmemc1", cardFolder + request.card2);
    if (line.size() + 1 > kCommandLineBufferBytes) return Refuse(error, EmuStartError::CommandLineTooLong);
    return plan;
}

bool StartEmulator(Registry& registry, const EmuStartRequest& request, const ProcessStarter& start,
                   EmuStartError* error) {
    const auto plan = PlanEmuStart(registry, request, error);
    if (!plan) return false;
    // Write failures are not fatal: ePSXe then starts with its previous values.
    (void)registry.Commit(plan->emulatorValues);
    if (start(plan->commandLine)) return true;
    if (error) *error = EmuStartError::NotStarted;
    return false;
}

}  // namespace dravolo::kstuff
