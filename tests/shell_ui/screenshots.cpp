// Saves pictures of the main window (three list modes, a background picture),
// of both dialogs and of the ISO tool, for the docs. Run under a display or
// Xvfb:
//   shell_ui_screenshots OUTDIR
// It builds its own workspace with a few profiles and pictures.

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QThread>
#include <QTimer>
#include <QAction>

#include "frontend/shell/CDravolo7View.h"
#include "frontend/shell/CMainFrame.h"
#include "frontend/shell/CProfilePropertiesDlg.h"
#include "frontend/shell/CSettingsDlg.h"
#include "frontend/app/frame_hooks_install.h"
#include "frontend/shell/profile_properties_logic.h"
#include "tests/shell_ui/ui_workspace.h"

using namespace dravolo;

namespace {

void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

bool ok = true;

void Save(QWidget* widget, const QString& file) {
    Settle();
    if (!widget->grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        ok = false;
    }
}

// A soft diagonal pattern for the background picture.
void WriteBackground(const std::string& hostPath) {
    QImage image(96, 96, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(236, 242, 250));
    p.setPen(QPen(QColor(205, 218, 238), 10));
    for (int k = -96; k < 192; k += 32) p.drawLine(k, 0, k + 96, 96);
    p.end();
    image.save(QString::fromStdString(hostPath), "BMP");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Made absolute before the workspace makes its own folder current (on
    // Windows a path without a drive would then mean that folder's drive).
    const QString out = QString::fromStdU16String(std::filesystem::absolute(argc > 1 ? argv[1] : ".").u16string());
    QDir().mkpath(out);

    test::UiWorkspace ws;
    const struct {
        const char* name;
        const char* description;
        QColor a, b;
    } games[] = {
        {"Crash Bandicoot", "NTSC-U, CD speed fix", QColor(240, 120, 20), QColor(250, 220, 60)},
        {"Final Fantasy VII", "Disc 1", QColor(30, 60, 140), QColor(120, 200, 255)},
        {"Gran Turismo", "Analog pad", QColor(20, 120, 60), QColor(230, 230, 230)},
        {"Spyro the Dragon", " ", QColor(), QColor()},
        {"Tekken 3", "Arcade stick", QColor(150, 20, 20), QColor(250, 250, 250)},
        {"Vagrant Story", "Widescreen hack off", QColor(), QColor()},
        {"Wipeout", "Keyboard", QColor(), QColor()},
    };
    for (const auto& g : games) {
        std::string picture = " ";
        if (g.a.isValid()) {
            QImage icon(32, 32, QImage::Format_RGB32);
            icon.fill(g.a);
            QPainter p(&icon);
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(g.b);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(5, 5, 22, 22));
            p.setBrush(g.a);
            p.drawEllipse(QRectF(13, 13, 6, 6));
            p.end();
            const std::string file = std::string("pics/") + g.name + ".bmp";
            QDir().mkpath(QString::fromStdString(ws.workdir + "/pics"));
            icon.save(QString::fromStdString(ws.workdir + "/" + file), "BMP");
            picture = ".\\pics\\" + std::string(g.name) + ".bmp";
        }
        ws.MakeProfile(EmulatorKind::Epsxe, g.name, g.description, picture);
    }
    WriteBackground(ws.workdir + "/background.bmp");

    {
        CMainFrame frame(*ws.context);
        frame.SetHooks(MakeFrameHooks(*ws.context));
        frame.resize(760, 480);
        frame.show();
        CDravolo7View& view = *frame.view();
        view.activeItemView()->selectionModel()->select(view.model()->index(1, 0),
                                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Save(&frame, out + "/main-large-icons.png");
        view.SetDisplayMode(CDravolo7View::DisplayMode::SmallIcons);
        Save(&frame, out + "/main-small-icons.png");
        view.SetDisplayMode(CDravolo7View::DisplayMode::Details);
        Save(&frame, out + "/main-details.png");

        ws.settings->SetString("Background", ".\\background.bmp");
        view.ReapplyBackground(true);
        view.SetDisplayMode(CDravolo7View::DisplayMode::LargeIcons);
        frame.action(CMainFrame::Command::UseBackground)->trigger();
        view.SetTextColor(0x00602010);
        Save(&frame, out + "/main-background.png");

        CProfilePropertiesDlg properties(*ws.context, EmulatorKind::Epsxe, false,
                                         ProfileFields{"Final Fantasy VII", "Disc 1", ".\\pics\\Final Fantasy VII.bmp"},
                                         &frame);
        properties.show();
        Save(&properties, out + "/profile-properties.png");
        properties.close();

        CSettingsDlg settings(*ws.context, &frame);
        settings.show();
        Save(&settings, out + "/settings.png");
        settings.close();

        // The ISO tool as the emulator bar's button opens it.
        bool isoSaved = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* iso = QApplication::activeModalWidget()) {
                Save(iso, out + "/iso_tool.png");
                isoSaved = true;
                iso->close();
            }
        });
        frame.action(CMainFrame::Command::IsoExtractor)->trigger();
        if (!isoSaved) ok = false;
    }
    return ok ? 0 : 1;
}
