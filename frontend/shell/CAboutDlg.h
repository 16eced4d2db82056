#pragma once
// "About Dravolo": the program's name, version and what it is for.

#include <QDialog>

namespace dravolo {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace dravolo
