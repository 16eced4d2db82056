#pragma once
// "Profile Properties": name, comments and picture of a profile, with OK,
// Cancel and "Configure Game Options", which creates or renames the profile
// at once so the option sheet can edit it while this dialog stays open.

#include <QDialog>
#include <string>

#include "frontend/shell/profile_properties_logic.h"
#include "frontend/shell/shell_context.h"

class QLineEdit;
class QPushButton;

namespace dravolo {

inline constexpr std::string_view kBitmapFilter = "Bitmap Files (*.bmp)|*.bmp|All files(*.*)|*.*|";

class CProfilePropertiesDlg : public QDialog {
    Q_OBJECT
public:
    CProfilePropertiesDlg(ShellContext& context, EmulatorKind kind, bool toBeCreated, const ProfileFields& fields,
                          QWidget* parent = nullptr);

    // The fields as last read (name trimmed).
    const ProfileFields& fields() const { return fields_; }
    bool createdFile() const { return logic_.createdFile(); }

    QLineEdit* nameEdit() const { return nameEdit_; }
    QLineEdit* descriptionEdit() const { return descriptionEdit_; }
    QLineEdit* bitmapEdit() const { return bitmapEdit_; }
    QPushButton* configureButton() const { return configureButton_; }
    QPushButton* browseButton() const { return browseButton_; }

    void accept() override;

signals:
    // The ".set" path the dialog works on, for the main window.
    void profilePathChosen(const std::string& path);
    // The option sheet should open on this profile (sheet caption "%s Options").
    void optionSheetWanted(const std::string& path, const QString& caption);

private:
    // False, after naming the character, when a field holds one the ANSI code
    // page cannot store (it would be saved as '?').
    bool FieldsFitAnsi();
    void ReadFields();
    void ShowFields();
    void OnBrowse();
    void OnConfigureGameOptions();

    ShellContext& context_;
    ProfilePropertiesLogic logic_;
    ProfileFields fields_;
    QLineEdit* nameEdit_;
    QLineEdit* descriptionEdit_;
    QLineEdit* bitmapEdit_;
    QPushButton* browseButton_;
    QPushButton* configureButton_;
};

}  // namespace dravolo
