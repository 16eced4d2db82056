#include "cli/launch_dry_run.h"

#include <ostream>

#include "common/base/text.h"
#include "common/platform/dry_run.h"
#include "common/platform/overlay_registry.h"
#include "common/platform/profile_ini.h"
#include "common/platform/winfs.h"
#include "frontend/core/known_settings.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/launch.h"

namespace dravolo::cli {

namespace {

bool IsIniFile(std::string_view path) { return path.size() >= 4 && EqualsNoCase(path.substr(path.size() - 4), ".ini"); }

// Each line says what the launch would do, in the order it would do it.
class DryRunReport : public DryRunRecorder {
public:
    explicit DryRunReport(std::ostream& out) : out_(out) {}

    void Line(std::string_view text) { out_ << ForTerminal(text) << '\n'; }

    void WriteFile(std::string_view path, std::span<const std::uint8_t> data) override {
        if (!IsIniFile(path)) {
            Line("write " + std::string(path) + " (" + std::to_string(data.size()) + " bytes)");
            return;
        }
        // An INI file: the entries that differ from the file as it is.
        std::string before;
        if (const auto bytes = ReadWholeFile(path)) before.assign(bytes->begin(), bytes->end());
        const IniDocument old = IniDocument::Parse(before);
        const IniDocument now =
            IniDocument::Parse(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
        bool any = false;
        for (const std::string& section : now.Sections())
            for (const std::string& key : now.Keys(section)) {
                const auto value = now.Get(section, key);
                if (value && old.Get(section, key) != value) {
                    Line("ini " + std::string(path) + " [" + section + "] " + key + "=" + *value);
                    any = true;
                }
            }
        for (const std::string& section : old.Sections())
            for (const std::string& key : old.Keys(section))
                if (!now.Get(section, key)) {
                    Line("ini " + std::string(path) + " [" + section + "] " + key + " removed");
                    any = true;
                }
        if (!any) Line("ini " + std::string(path) + " unchanged");
    }
    void CopyFile(std::string_view from, std::string_view to) override {
        Line("copy " + std::string(from) + " -> " + std::string(to));
    }
    void FileChange(std::string_view what, std::string_view path) override {
        Line(std::string(what) + " " + std::string(path));
    }
    void ChangeDirectory(std::string_view path) override { Line("cd " + std::string(path)); }
    void StartProgram(std::string_view commandLine, std::string_view workingDir, bool waits) override {
        Line(std::string(waits ? "run " : "start ") + std::string(commandLine) +
             (workingDir.empty() ? std::string() : " (in " + std::string(workingDir) + ")"));
    }

private:
    std::ostream& out_;
};

// Side-file imports named, then read into the overlay as regedit would.
class ReportingEditor : public RegistryEditor {
public:
    ReportingEditor(Registry& registry, DryRunReport& report) : inner_(registry), report_(report) {}
    bool Import(std::string_view sideFile) override {
        report_.Line("import " + std::string(sideFile));
        return inner_.Import(sideFile);
    }
    bool Export(std::string_view sideFile, std::string_view keyText) override {
        report_.Line("export " + std::string(keyText) + " -> " + std::string(sideFile));
        return true;
    }

private:
    InProcessRegistryEditor inner_;
    DryRunReport& report_;
};

}  // namespace

int RunLaunchDryRun(EmulatorKind kind, const std::string& profileName, Context& context) {
    auto system = OpenSystemRegistry();
    if (!system) {
        context.err << "dravolo-cli: the registry cannot be opened\n";
        return kFailed;
    }
    DryRunReport report(context.out);
    OverlayRegistry registry(*system,
                             [&](const RegBatch::Change& change) { report.Line(DescribeRegistryChange(change)); });
    const SettingsStore settings(*system);
    ReportingEditor editor(registry, report);
    NoWindowFinder windows;
    SleepingWindowPoller poller;
    LaunchRequest request;
    request.kind = kind;
    request.profileName = profileName;
    request.nukeConsole = settings.Get(kNukeConsoleSetting) != 0;

    const DryRunScope dryRun(report);
    return LaunchSelectedProfile(request, LaunchServices{registry, settings, context.prompter, editor, windows, poller})
               ? kOk
               : kFailed;
}

}  // namespace dravolo::cli
