#include "frontend/app/frame_hooks_install.h"

#include "frontend/shell/CDravolo7View.h"

#ifdef DRAVOLO_HAVE_ISO_TOOL
#include "frontend/cdimage/iso_tool_dialog.h"
#endif

#ifdef DRAVOLO_HAVE_OPTION_SHEET
#include "frontend/options/CEmuPropertySheet.h"
#include "frontend/options/option_sheet_entry.h"
#include "frontend/profiles/profile_files.h"
#endif

#ifdef DRAVOLO_HAVE_MEMCARDS
#include "frontend/memcards/memcards_page_factory.h"
#endif

#ifdef DRAVOLO_HAVE_LAUNCH
#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "common/platform/library.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/emulator_world.h"
#include "frontend/launch/launch.h"
#include "frontend/launch/quick_configure.h"
#endif

namespace dravolo {

#ifdef DRAVOLO_HAVE_LAUNCH
namespace {

// Looks for the emulator's window from a timer so the list keeps painting
// while the emulator comes up: a Step never waits for a look, it starts one
// or checks on the one in flight. Key presses and clicks wait in the queue
// until the search ends: the launch has made the emulator's directory the
// current one, and the profile commands work relative to ours.
class QtWindowPoller : public WindowPoller {
public:
    void Poll(WindowWatch& watch) override {
        if (watch.Step()) return;
        QEventLoop loop;
        QTimer timer;
        timer.setInterval(static_cast<int>(watch.pause().count()));
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            if (watch.Step()) {
                loop.quit();
                return;
            }
            // Checks on a look in flight come less often than looks.
            const int pause = static_cast<int>(watch.pause().count());
            if (timer.interval() != pause) timer.setInterval(pause);
        });
        timer.start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
};

std::optional<std::string> FirstSelectedName(const CDravolo7View& view) {
    const auto rows = view.selectedRows();
    if (rows.empty()) return std::nullopt;
    return view.itemName(rows.front());
}

}  // namespace
#endif

#ifdef DRAVOLO_HAVE_OPTION_SHEET
namespace {

// Every sheet gets the memory-card page when it is built into the program.
OptionSheetExtras SheetExtras(ShellContext& context, const QString& caption) {
    OptionSheetExtras extras;
    extras.caption = caption;
#ifdef DRAVOLO_HAVE_MEMCARDS
    extras.makeMemcardsPage = MakeMemcardsPageMaker(context.settings, context.prompter);
#else
    (void)context;
#endif
    return extras;
}

// The sheet for one profile; Apply stores through the view, which keeps the
// stored description and picture.
void RunProfileSheet(ShellContext& context, CDravolo7View& view, const std::string& path, const QString& caption) {
    RunOptionSheet(
        view.window(), view.currentEmulator(), path, context.settings, context.prompter,
        [&view](AnyProfileRecord& record) { view.StoreEditedProfile(record); }, SheetExtras(context, caption));
}

}  // namespace
#endif

FrameHooks MakeFrameHooks(ShellContext& context) {
    FrameHooks hooks;
#ifdef DRAVOLO_HAVE_OPTION_SHEET
    hooks.configureSettings = [&context](CDravolo7View& view) {
        const auto kind = KindFromNumber(view.currentEmulator());
        const auto rows = view.selectedRows();
        if (!kind || rows.empty()) return;
        RunProfileSheet(context, view, ProfilePath(*kind, view.itemName(rows.front())), QString());
    };
    hooks.optionSheet = [&context](CDravolo7View& view, const std::string& path, const QString& caption) {
        RunProfileSheet(context, view, path, caption);
    };
#ifdef DRAVOLO_HAVE_MEMCARDS
    // The sheet with the memory-card page alone, titled "Memcards Tool".
    hooks.memcardTool = [&context](QWidget* owner) {
        RunOptionSheet(owner, kMemcardsOnlyKind, std::string(), context.settings, context.prompter, nullptr,
                       SheetExtras(context, QString()));
    };
#endif
#endif
#ifdef DRAVOLO_HAVE_ISO_TOOL
    hooks.isoExtractor = [&context](QWidget* owner) {
        CIsoToolDlg dialog(owner, context.settings, context.prompter);
        dialog.exec();
    };
#endif
#ifdef DRAVOLO_HAVE_LAUNCH
    auto poller = std::make_shared<QtWindowPoller>();
    auto busy = std::make_shared<bool>(false);
    hooks.launch = [&context, poller, busy](CDravolo7View& view) {
        const auto kind = KindFromNumber(view.currentEmulator());
        if (!kind || *busy) return;  // one launch at a time
        *busy = true;
        LaunchRequest request;
        request.kind = *kind;
        request.profileName = FirstSelectedName(view);
        request.nukeConsole = view.hideConsoles();
        LaunchSelectedProfile(request, context.settings.registry(), context.settings, context.prompter, *poller);
        *busy = false;
    };
    hooks.quickConfigure = [&context](CDravolo7View& view, int plugin) {
        const auto kind = KindFromNumber(view.currentEmulator());
        if (!kind) return;
        QuickConfigureRequest request;
        request.kind = *kind;
        request.profileName = FirstSelectedName(view);
        request.type = plugin == 0 ? PluginType::Gpu : plugin == 1 ? PluginType::Spu : PluginType::Cdr;
        // The plugin's dialog belongs to the list view, as the plugin page's
        // belongs to its page.
        request.ownerWindow = static_cast<std::uintptr_t>(view.winId());
        request.moduleInstance = ProgramModuleInstance();
        EmulatorWorld world(*kind, context.settings, context.settings.registry());
        const auto editor = MakePlatformRegistryEditor(world.registry());
        QuickConfigurePlugin(request, context.settings, context.prompter, *editor);
    };
#else
    // Without the launch built in, a double-click does nothing and Quick
    // Configure stays disabled.
    (void)context;
#endif
    return hooks;
}

}  // namespace dravolo
