// dravolo-cli plugins: the plugin page's lists and its Configure, Test and
// About, and the option pages' pad lists and Config, without a window. Every
// call goes through the same logic the pages use.

#include <ostream>

#include "cli/cli.h"
#include "common/base/text.h"
#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/quick_configure.h"
#include "frontend/options/pad_plugins.h"
#include "frontend/plugins/plugins_page_logic.h"

namespace dravolo::cli {

namespace {

enum class Slot { Gpu, Spu, Cdr, Pad };

std::string_view SlotName(Slot slot) {
    switch (slot) {
    case Slot::Gpu: return "gpu";
    case Slot::Spu: return "spu";
    case Slot::Cdr: return "cdr";
    case Slot::Pad: return "pad";
    }
    return "gpu";
}

Slot SlotOf(PluginType type) {
    return type == PluginType::Gpu ? Slot::Gpu : type == PluginType::Spu ? Slot::Spu : Slot::Cdr;
}

// The pads the kind's option page lists (ePSXe's page has none).
std::string PadFolder(EmulatorKind kind, const std::string& installPath) {
    if (kind == EmulatorKind::Fpse) return installPath + std::string(kFpseNativePluginDirectory);
    return installPath + std::string(PsemuPluginDirectory(kind));
}

std::vector<PadPlugin> PadsOf(EmulatorKind kind, const std::string& installPath) {
    if (kind == EmulatorKind::Epsxe) return {};
    const std::string folder = PadFolder(kind, installPath);
    return kind == EmulatorKind::Fpse ? FindFpsePadPlugins(folder) : FindPsemuPadPlugins(folder);
}

// The plugin page of one emulator, opened without a profile.
struct Page {
    std::unique_ptr<Registry> registry;
    std::unique_ptr<RegistryEditor> editor;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<PluginsPageLogic> logic;
};

bool OpenPage(EmulatorKind kind, Context& context, Page& page) {
    page.registry = OpenSystemRegistry();
    if (!page.registry) {
        context.err << "dravolo-cli: the registry cannot be opened\n";
        return false;
    }
    page.editor = MakePlatformRegistryEditor(*page.registry);
    page.settings = std::make_unique<SettingsStore>(*page.registry);
    page.logic = std::make_unique<PluginsPageLogic>(*page.registry, *page.editor, context.prompter);
    page.logic->SetKind(kind);
    page.logic->SetInstallPath(page.settings->InstallPath(kind));
    page.logic->Open();
    return true;
}

int List(EmulatorKind kind, std::optional<Slot> only, Context& context) {
    Page page;
    if (!OpenPage(kind, context, page)) return kFailed;
    for (PluginType type : kPluginTypes) {
        if (only && *only != SlotOf(type)) continue;
        for (const PluginEntry& entry : page.logic->list(type))
            context.out << ForTerminal(entry.name) << '\t' << SlotName(SlotOf(type)) << '\t'
                        << PluginVersionText(entry, kind) << '\t' << ForTerminal(PluginShownFileName(entry, kind))
                        << '\n';
    }
    if (!only || *only == Slot::Pad)
        for (const PadPlugin& pad : PadsOf(kind, page.settings->InstallPath(kind)))
            context.out << ForTerminal(pad.name) << "\tpad\t" << pad.major << '.' << pad.minor << '\t'
                        << ForTerminal(pad.fileName) << '\n';
    return kOk;
}

// Test, configure or about on the page's row of the named file.
int Act(EmulatorKind kind, std::string_view action, const std::string& file, Context& context) {
    Page page;
    if (!OpenPage(kind, context, page)) return kFailed;
    PluginsPageLogic& logic = *page.logic;
    for (PluginType type : kPluginTypes) {
        const auto& entries = logic.list(type);
        for (std::size_t row = 0; row < entries.size(); ++row) {
            if (!EqualsNoCase(PluginShownFileName(entries[row], kind), file) &&
                !EqualsNoCase(entries[row].fileName, file))
                continue;
            logic.Click(type, static_cast<int>(row));
            if (row > static_cast<std::size_t>(kLastActionRow)) {
                context.err << "dravolo-cli: the plugin page acts on its first " << kLastActionRow + 1
                            << " rows only\n";
                return kFailed;
            }
            if (action == "configure") {
                logic.Configure();
                return kOk;
            }
            if (action == "test") {
                switch (logic.Test()) {
                case PluginTestOutcome::Passed: return kOk;
                case PluginTestOutcome::Failed: return kFailed;  // said through the prompter
                case PluginTestOutcome::NotRun: break;
                }
                context.err << "dravolo-cli: " << ForTerminal(file) << " cannot be loaded or has no test\n";
                return kFailed;
            }
            // about: PSEmu Pro plugins show their own box; FPSE's own give
            // what the "About Plugin" dialog shows.
            if (const auto info = logic.About()) {
                context.out << "Name: " << ForTerminal(info->name) << "\nAuthor: " << ForTerminal(info->author)
                            << "\nVersion: " << static_cast<int>(info->majorVersion) << '.'
                            << static_cast<int>(info->minorVersion)
                            << "\nDescription: " << ForTerminal(info->description) << '\n';
            }
            return kOk;
        }
    }
    const std::string installPath = page.settings->InstallPath(kind);
    for (const PadPlugin& pad : PadsOf(kind, installPath)) {
        if (!EqualsNoCase(pad.fileName, file)) continue;
        if (action != "configure") {
            context.err << "dravolo-cli: " << ForTerminal(file) << " is a pad plugin: pads are only configured\n";
            return kUsage;
        }
        const std::string path = PadFolder(kind, installPath) + pad.fileName;
        const bool ok = kind == EmulatorKind::Fpse ? ConfigureFpsePad(path, 0, 0, 0, context.prompter)
                                                   : ConfigurePsemuPad(path, "", *page.editor, context.prompter);
        if (!ok) context.err << "dravolo-cli: " << ForTerminal(file) << " cannot be loaded\n";
        return ok ? kOk : kFailed;
    }
    context.err << "dravolo-cli: no plugin '" << ForTerminal(file) << "' among the " << KindInfo(kind).directory
                << " plugins (see 'plugins list " << KindInfo(kind).directory << "')\n";
    return kFailed;
}

}  // namespace

int RunPlugins(const std::vector<std::string>& args, Context& context) {
    if (args.size() < 2) {
        context.err << "dravolo-cli: plugins needs a subcommand and an emulator\n";
        return kUsage;
    }
    const auto kind = KindFromDirectoryName(args[1]);
    if (!kind) {
        context.err << "dravolo-cli: unknown emulator '" << ForTerminal(args[1])
                    << "' (use Epsxe, Fpse, Psinex, Adripsx or Pcsx)\n";
        return kUsage;
    }
    const std::string& verb = args[0];
    if (verb == "list" && args.size() <= 3) {
        std::optional<Slot> only;
        if (args.size() == 3) {
            for (Slot slot : {Slot::Gpu, Slot::Spu, Slot::Cdr, Slot::Pad})
                if (EqualsNoCase(args[2], SlotName(slot))) only = slot;
            if (!only) {
                context.err << "dravolo-cli: '" << ForTerminal(args[2]) << "' is not gpu, spu, cdr or pad\n";
                return kUsage;
            }
        }
        return List(*kind, only, context);
    }
    if ((verb == "test" || verb == "configure" || verb == "about") && args.size() == 3)
        return Act(*kind, verb, args[2], context);
    context.err << "dravolo-cli: bad use of 'plugins " << ForTerminal(verb) << "' (see --help)\n";
    return kUsage;
}

}  // namespace dravolo::cli
