// Every window the front end opens fits a 1366 x 768 screen at 96 dpi with a
// title bar and a panel: at most 640 pixels tall including its buttons, and
// well inside the width. Each one is opened the way the user opens it (the
// sheets through "Configure Settings" and "Memcard Tool", the dialogs through
// their commands) on an offscreen screen of that size, every tab visited.

#include <QAction>
#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "frontend/app/frame_hooks_install.h"
#include "frontend/plugins/CAboutPluginDlg.h"
#include "frontend/shell/CDravolo7View.h"
#include "frontend/shell/CMainFrame.h"
#include "tests/shell_ui/ui_workspace.h"

using namespace dravolo;
using namespace dravolo::test;
using Command = CMainFrame::Command;

namespace {

constexpr int kMaxHeight = 640;
constexpr int kMaxWidth = 1100;

struct Measured {
    QString title;
    QSize size;
};

// The largest size the modal window that the next command opens takes while
// each of its tabs is shown; then it is closed.
std::optional<Measured> MeasureModal(const std::function<void()>& open) {
    std::optional<Measured> measured;
    QTimer::singleShot(0, [&measured] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window) return;
        QSize size = window->size();
        if (auto* tabs = window->findChild<QTabWidget*>()) {
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QApplication::processEvents();
                size = size.expandedTo(window->size());
            }
        }
        measured = Measured{window->windowTitle(), size};
        window->close();
    });
    open();
    return measured;
}

bool Fits(const Measured& m) {
    qInfo("%-20s %4d x %4d", qPrintable(m.title), m.size.width(), m.size.height());
    return m.size.height() <= kMaxHeight && m.size.width() <= kMaxWidth;
}

}  // namespace

class WindowSizesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void optionSheetsFitTheScreen_data();
    void optionSheetsFitTheScreen();
    void dialogsFitTheScreen();
};

void WindowSizesTest::initTestCase() {
    // The offscreen platform says so for every window; it tells nothing here.
    static QtMessageHandler testHandler = nullptr;
    testHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints"))) testHandler(type, context, text);
    });
}

void WindowSizesTest::optionSheetsFitTheScreen_data() {
    QTest::addColumn<int>("kind");
    for (int kind = 0; kind < 5; ++kind) QTest::newRow(qPrintable(QString::number(kind))) << kind;
}

void WindowSizesTest::optionSheetsFitTheScreen() {
    QFETCH(int, kind);
    UiWorkspace ws;
    ws.MakeProfile(kEmulatorKinds[static_cast<std::size_t>(kind)].kind, "Crash Bandicoot", "Disc 1");
    ws.settings->SetInt("CurrentEmulator", kind);
    CMainFrame frame(*ws.context);
    frame.SetHooks(MakeFrameHooks(*ws.context));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    view.activeItemView()->selectionModel()->select(view.model()->index(0, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(frame.action(Command::ConfigureSettings)->isEnabled());
    const auto sheet = MeasureModal([&] { frame.action(Command::ConfigureSettings)->trigger(); });
    QVERIFY(sheet);
    QVERIFY2(Fits(*sheet), qPrintable(sheet->title));
}

void WindowSizesTest::dialogsFitTheScreen() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash Bandicoot", "Disc 1");
    CMainFrame frame(*ws.context);
    frame.SetHooks(MakeFrameHooks(*ws.context));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    for (Command command : {Command::MemcardTool, Command::IsoExtractor, Command::CustomizeSettings,
                            Command::NewProfile, Command::About}) {
        QVERIFY(frame.action(command)->isEnabled());
        const auto dialog = MeasureModal([&] { frame.action(command)->trigger(); });
        QVERIFY2(dialog, qPrintable(frame.action(command)->text()));
        QVERIFY2(Fits(*dialog), qPrintable(dialog->title));
    }
    // "About Plugin" with a description that fills its whole field.
    FpseInfo info;
    info.name = "Pete's Soft Driver";
    info.author = "Pete";
    info.description = std::string(1023, 'd');
    const auto about = MeasureModal([&] {
        CAboutPluginDlg dialog(info, &frame);
        dialog.exec();
    });
    QVERIFY(about);
    QVERIFY2(Fits(*about), qPrintable(about->title));
}

// The offscreen screen of a small laptop: 1366 x 768 at 96 dpi. (Sizes are
// of the windows' insides; the title bar comes on top.)
// The platform's arguments are split at ':', so the file is named relative to
// the current folder: a Windows path's drive would cut it short.
int main(int argc, char** argv) {
    QTemporaryDir dir(QStringLiteral("screen-XXXXXX"));
    const QString config = QDir::current().relativeFilePath(dir.filePath(QStringLiteral("screen.json")));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 2;
    file.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,)"
               R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication app(argc, argv);
    WindowSizesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_sizes_test.moc"
