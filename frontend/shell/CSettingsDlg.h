#pragma once
// "Settings": the five emulators' install folders and program names, the
// list's background picture and tiling, and its text colour. OK writes them
// and the list shows the new look at once; "Select TextColor" shows the
// colour at once even if the dialog is then cancelled.

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "frontend/core/emulator_kind.h"
#include "frontend/shell/shell_context.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace dravolo {

inline constexpr std::string_view kBackgroundFilter =
    "Bitmap File (*.bmp, *.jpg, *.gif)|*.bmp;*.jpg;*gif|All files(*.*)|*.*|";
inline constexpr std::string_view kExecutableFilter = "Executable File (*.exe)|*.exe|All files(*.*)|*.*|";

// The program names the executable "Select" buttons start from; the dialog
// refreshes them when it opens and after OK.
std::array<std::string, 5>& ProgramNamesInUse();

class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    CSettingsDlg(ShellContext& context, QWidget* parent = nullptr);

    QLineEdit* pathEdit(EmulatorKind kind) const { return pathEdits_[KindIndex(kind)]; }
    QLineEdit* programEdit(EmulatorKind kind) const { return programEdits_[KindIndex(kind)]; }
    QPushButton* pathSelect(EmulatorKind kind) const { return pathSelects_[KindIndex(kind)]; }
    QPushButton* programSelect(EmulatorKind kind) const { return programSelects_[KindIndex(kind)]; }
    QLineEdit* backgroundEdit() const { return backgroundEdit_; }
    QPushButton* backgroundSelect() const { return backgroundSelect_; }
    QCheckBox* tileCheck() const { return tileCheck_; }
    QPushButton* textColorButton() const { return textColorButton_; }
    std::uint32_t textColor() const { return textColor_; }

    void accept() override;

signals:
    void backgroundChanged(bool tile);
    void textColorChanged(std::uint32_t colorRef);

private:
    void OnSelectFolder(EmulatorKind kind);
    void OnSelectProgram(EmulatorKind kind);
    void OnSelectBackground();
    void OnSelectTextColor();

    ShellContext& context_;
    std::array<QLineEdit*, 5> pathEdits_{};
    std::array<QPushButton*, 5> pathSelects_{};
    std::array<QLineEdit*, 5> programEdits_{};
    std::array<QPushButton*, 5> programSelects_{};
    QLineEdit* backgroundEdit_;
    QPushButton* backgroundSelect_;
    QCheckBox* tileCheck_;
    QPushButton* textColorButton_;
    std::uint32_t textColor_ = 0;
};

}  // namespace dravolo
