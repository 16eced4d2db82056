#include "frontend/plugins/CAboutPluginDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <cstdio>

#include "common/qt/ansi_qstring.h"

namespace dravolo {

std::string CAboutPluginDlg::NameText(const FpseInfo& info) {
    char version[48];
    std::snprintf(version, sizeof version, " - %ld.%ld", static_cast<long>(info.majorVersion),
                  static_cast<long>(info.minorVersion));
    return info.name + version;
}

CAboutPluginDlg::CAboutPluginDlg(const FpseInfo& info, QWidget* parent)
    : QDialog(parent),
      name_(new QLabel(ToQt(NameText(info)))),
      author_(new QLabel(ToQt(info.author))),
      description_(new QPlainTextEdit(ToQt(info.description))) {
    setWindowTitle(QStringLiteral("About Plugin"));
    description_->setReadOnly(true);
    name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    author_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Plugin Name:"), name_);
    form->addRow(QStringLiteral("Plugin Author:"), author_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(description_, 1);
    layout->addWidget(buttons);
    resize(380, 260);
}

}  // namespace dravolo
