#include "frontend/shell/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "frontend/shell/shell_art.h"

#ifndef DRAVOLO_VERSION
#define DRAVOLO_VERSION "0.1.0"
#endif

namespace dravolo {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Dravolo"));
    auto* icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(QStringLiteral("<b>Dravolo</b> version " DRAVOLO_VERSION
                                           "<p>Profiles for the PlayStation emulators ePSXe, FPSE, PSinex, "
                                           "AdriPSX and PCSX: pick an emulator on the left, double-click a "
                                           "profile to start it with its own settings.</p>"));
    text->setWordWrap(true);
    text->setMinimumWidth(300);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

}  // namespace dravolo
