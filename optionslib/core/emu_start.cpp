#include "optionslib/core/emu_start.h"

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

// Translates the interface key into ePSXe's values; nullopt when "CmdLine" is
// too long to be used.
std::optional<InterfaceOptions> TranslateInterface(Registry& registry, RegBatch& out) {
    InterfaceOptions options;
    if (!registry.KeyExists(kUser, kInterfaceKey)) return options;

    for (const auto& pair : kPadPairs) {
        auto pad = ReadLimitedText(registry, kInterfaceKey, pair.interfaceName);
        if (pad.present()) out.SetString(kUser, kEmulatorKey, pair.emulatorName, pad.text);
    }
    if (auto bios = ReadLimitedText(registry, kInterfaceKey, "BIOS"); bios.present())
        out.SetString(kUser, kEmulatorKey, "BiosName", bios.text);
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

void AppendQuoted(std::string& line, std::string_view option, std::string_view folder, std::string_view path) {
    line.append(" ").append(option).append(" \"").append(folder).append(path).append("\"");
}

}  // namespace

std::string CardFolderFor(std::string_view executable) {
    const auto slash = executable.rfind('\\');
    if (slash == std::string_view::npos) return {};
    return std::string(executable.substr(0, slash)) + "\\memcards\\";
}

std::optional<EmuStartPlan> PlanEmuStart(Registry& registry, const EmuStartRequest& request) {
    if (request.executable.empty()) return std::nullopt;

    EmuStartPlan plan;
    RegBatch& values = plan.emulatorValues;
    values.SetString(kUser, kEmulatorKey, "VideoPlugin", request.videoPlugin);
    values.SetString(kUser, kEmulatorKey, "SoundPlugin", request.soundPlugin);
    values.SetString(kUser, kEmulatorKey, "CdromPlugin", request.cdromPlugin);
    values.SetString(kUser, kEmulatorKey, "NetPlugin", request.netPlugin);
    const auto options = TranslateInterface(registry, values);
    if (!options) return std::nullopt;

    std::string& line = plan.commandLine;
    line = request.executable;
    if (!options->startGui) line += " -nogui";
    if (!options->extraCommandLine.empty()) line.append(" ").append(options->extraCommandLine);
    else line += " -f";
    if (!request.cheatFile.empty()) AppendQuoted(line, "-loadcheat", {}, request.cheatFile);
    const std::string cardFolder = request.cardPathsFull ? std::string() : CardFolderFor(request.executable);
    if (!request.card1.empty()) AppendQuoted(line, "-loadmemc0", cardFolder, request.card1);
    if (!request.card2.empty()) AppendQuoted(line, "-loadmemc1", cardFolder, request.card2);
    if (line.size() + 1 > kCommandLineBufferBytes) return std::nullopt;
    return plan;
}

bool StartEmulator(Registry& registry, const EmuStartRequest& request, const ProcessStarter& start) {
    const auto plan = PlanEmuStart(registry, request);
    if (!plan) return false;
    // Write failures are not fatal: ePSXe then starts with its previous values.
    registry.Commit(plan->emulatorValues);
    return start(plan->commandLine);
}

}  // namespace dravolo::kstuff
