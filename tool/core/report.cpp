#include "tool/core/report.h"

#include <cstdio>
#include <memory>

#include "tool/core/config_name.h"
#include "tool/core/emulator_path.h"
#include "tool/core/tool_registry.h"

namespace dravolo::tool {

std::string PluginFileTitle(std::string_view path, PluginLoader& loader) {
    const auto module = loader.Open(path);
    if (!module || !module->Has("PSEgetLibName") || !module->Has("PSEgetLibVersion")) return {};
    const auto name = module->CallText("PSEgetLibName");
    const auto versionWord = module->CallLong("PSEgetLibVersion");
    if (!name || !versionWord) return {};
    const auto version = static_cast<std::uint32_t>(*versionWord);
    char numbers[16];
    std::snprintf(numbers, sizeof numbers, " %d.%d", static_cast<int>((version >> 8) & 0xFF),
                  static_cast<int>(version & 0xFF));
    return *name + numbers;
}

std::optional<std::string> ReportCardPath(Registry& registry, std::string_view configurationKey,
                                          std::string_view emulatorDirectory, int slot) {
    ToolRegistry values(registry);
    const std::string key = std::string(configurationKey) + "\\Memory Cards";
    const std::string digit = slot == 0 ? "0" : "1";
    const auto custom = values.ReadNumber(key, "CustomCards");
    if (custom && *custom != 0) return values.ReadText(key, "CustomCard" + digit).value_or("");
    const auto number = values.ReadNumber(key, "MemCard" + digit);
    if (!number) return std::nullopt;
    char name[32];
    std::snprintf(name, sizeof name, "\\MemCards\\epsxe%03u.mcr", static_cast<unsigned>(*number));
    return std::string(emulatorDirectory) + name;
}

namespace {

// One plugin line: its label, where the choice is kept and the code words of
// the emulator's own plugins of that kind (compared exactly, case matters).
struct PluginLine {
    std::uint32_t flag;
    const char* label;
    const char* subkey;
    const char* value;
    struct Internal {
        const char* code;
        const char* title;
    } internal[2];
};

constexpr PluginLine kPluginLines[] = {
    {kReportGpu, "1GPU", "GPU", "GPUlib", {}},
    {kReportSpu, "2SPU", "SPU", "SPUlib", {{"SPUCORE", "Internal ePSXe SPU"}}},
    {kReportCdr,
     "3CDR",
     "CDR",
     "CDRlib",
     {{"W2KCDRCORE", "Internal ePSXe W2K CDR"}, {"W9XCDRCORE", "Internal ePSXe W9X CDR"}}},
    {kReportPad, "4PAD", "PAD", "PADlib", {{"PADCORE", "Internal ePSXe PAD"}}},
    {kReportPad1, "5PAD1", "PAD", "PAD1lib", {{"PAD1CORE", "Internal ePSXe PAD1"}}},
    {kReportPad2, "6PAD2", "PAD", "PAD2lib", {{"PAD2CORE", "Internal ePSXe PAD2"}}},
    {kReportNet, "9NET", "NET", "NETlib", {}},
};

std::string PluginTitle(ToolRegistry& values, const std::string& configurationKey, const std::string& directory,
                        const PluginLine& line, PluginLoader& loader) {
    const std::string chosen = values.ReadText(configurationKey + "\\" + line.subkey, line.value).value_or("");
    if (line.flag == kReportNet && (chosen.empty() || chosen == "DISABLED")) return "Internal ePSXe NULL NET";
    for (const PluginLine::Internal& internal : line.internal) {
        if (internal.code && chosen == internal.code) return internal.title;
    }
    return PluginFileTitle(directory + "\\PLUGINS\\" + chosen, loader);
}

}  // namespace

Report BuildReport(Registry& registry, std::string_view configurationName, std::uint32_t flags,
                   std::string_view emulatorPath, const CardSummariser& summarise) {
    ToolRegistry values(registry);
    const std::string key = ConfigurationKeyPath(configurationName);
    Report report;
    if (flags & kReportInfo)
        report.text += "0INFO\t" + values.ReadText(key + "\\Kestrine", "Comment").value_or("") + "\n";
    if (emulatorPath.empty()) return report;

    const std::string directory = DirectoryOf(emulatorPath);
    if (flags & kReportExe) report.text += "0EXE\t" + std::string(emulatorPath) + "\n";
    PluginLoader loader;  // one plugin host run for all the report's plugins
    for (const PluginLine& line : kPluginLines) {
        if (flags & line.flag)
            report.text += std::string(line.label) + "\t" + PluginTitle(values, key, directory, line, loader) + "\n";
    }
    if (flags & kReportCard1) {
        CardSummary card = summarise(ReportCardPath(registry, key, directory, 0));
        report.text += "7CARD1\t" + card.text + "\n";
        report.card1Icons = std::move(card.icons);
    }
    if (flags & kReportCard2) {
        CardSummary card = summarise(ReportCardPath(registry, key, directory, 1));
        report.text += "8CARD2\t" + card.text + "\n";
        report.card2Icons = std::move(card.icons);
    }
    return report;
}

Bytes EncodeReportRecord(const Report& report) {
    ByteWriter writer;
    const std::size_t length = std::min(report.text.size(), kReportMaxTextLength);
    // A text with a NUL inside ends there for the reader anyway.
    writer.Raw(std::string_view(report.text).substr(0, length));
    while (writer.bytes().size() < kReportTextBytes) writer.U8(0);
    writer.U32(static_cast<std::uint32_t>(report.card1Icons.size()));
    writer.U32(static_cast<std::uint32_t>(report.card2Icons.size()));
    writer.Raw(report.card1Icons);
    writer.Raw(report.card2Icons);
    return writer.take();
}

}  // namespace dravolo::tool
