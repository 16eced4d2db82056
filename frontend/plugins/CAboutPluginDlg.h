#pragma once
// "About Plugin": name and version, author and description of one of FPSE's
// own plugins, as its information block gives them.

#include <QDialog>

#include "common/psemu/fpse_plugin.h"

class QLabel;
class QPlainTextEdit;

namespace dravolo {

class CAboutPluginDlg : public QDialog {
    Q_OBJECT
public:
    CAboutPluginDlg(const FpseInfo& info, QWidget* parent = nullptr);

    // "%s - %ld.%ld": name, major, minor.
    static std::string NameText(const FpseInfo& info);

    QLabel* nameLabel() const { return name_; }
    QLabel* authorLabel() const { return author_; }
    QPlainTextEdit* descriptionBox() const { return description_; }

private:
    QLabel* name_;
    QLabel* author_;
    QPlainTextEdit* description_;
};

}  // namespace dravolo
