#include "frontend/shell/CProfilePropertiesDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/base/text.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/profiles/profile_manager.h"
#include "frontend/widgets/host_path_qt.h"
#include "frontend/widgets/qt_file_filter.h"
#include "frontend/widgets/file_choosers.h"

namespace dravolo {

CProfilePropertiesDlg::CProfilePropertiesDlg(ShellContext& context, EmulatorKind kind, bool toBeCreated,
                                             const ProfileFields& fields, QWidget* parent)
    : QDialog(parent),
      context_(context),
      logic_(kind, toBeCreated, toBeCreated ? std::string() : fields.name, context.settings, context.prompter),
      fields_(fields),
      nameEdit_(new QLineEdit),
      descriptionEdit_(new QLineEdit),
      bitmapEdit_(new QLineEdit),
      browseButton_(new QPushButton(QStringLiteral(">>"))),
      configureButton_(new QPushButton(QStringLiteral("Configure Game Options"))) {
    setWindowTitle(QStringLiteral("Profile Properties"));

    auto* group = new QGroupBox(QStringLiteral("Configure Properties"));
    auto* grid = new QGridLayout(group);
    auto addRow = [grid](int row, const QString& text, QLineEdit* edit) {
        auto* label = new QLabel(text);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
    };
    addRow(0, QStringLiteral("Configuration Name:"), nameEdit_);
    addRow(1, QStringLiteral("Comments (Optional):"), descriptionEdit_);
    addRow(2, QStringLiteral("Bitmap File (Optional):"), bitmapEdit_);
    browseButton_->setAutoDefault(false);
    browseButton_->setFixedWidth(browseButton_->fontMetrics().horizontalAdvance(QStringLiteral(">>")) + 24);
    grid->addWidget(browseButton_, 2, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 260);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    configureButton_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(configureButton_);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &CProfilePropertiesDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CProfilePropertiesDlg::reject);
    connect(browseButton_, &QPushButton::clicked, this, &CProfilePropertiesDlg::OnBrowse);
    connect(configureButton_, &QPushButton::clicked, this, &CProfilePropertiesDlg::OnConfigureGameOptions);
    ShowFields();
}

bool CProfilePropertiesDlg::FieldsFitAnsi() {
    const std::pair<QLineEdit*, const char*> fields[] = {
        {nameEdit_, "name"}, {descriptionEdit_, "description"}, {bitmapEdit_, "bitmap file"}};
    for (const auto& [edit, field] : fields) {
        if (const auto character = FirstCharacterOutsideAnsi(edit->text())) {
            context_.prompter.Tell(CharacterOutsideAnsiText(field, *character), kTextCaption);
            edit->setFocus();
            return false;
        }
    }
    return true;
}

void CProfilePropertiesDlg::ReadFields() {
    fields_.name = FromQt(nameEdit_->text());
    fields_.description = FromQt(descriptionEdit_->text());
    fields_.bitmapFile = FromQt(bitmapEdit_->text());
}

void CProfilePropertiesDlg::ShowFields() {
    nameEdit_->setText(ToQt(fields_.name));
    descriptionEdit_->setText(ToQt(fields_.description));
    bitmapEdit_->setText(ToQt(fields_.bitmapFile));
}

void CProfilePropertiesDlg::accept() {
    if (!FieldsFitAnsi()) return;
    ReadFields();
    if (logic_.Accept(fields_)) QDialog::accept();
}

void CProfilePropertiesDlg::OnBrowse() {
    ReadFields();
    const QString initial = HostPathToQt(TrimSpaces(fields_.bitmapFile));
    if (auto chosen = context_.choosers.OpenFile(this, FilterToQt(kBitmapFilter), initial)) {
        fields_.bitmapFile = WindowsPathFromQt(*chosen);
        ShowFields();
    }
}

void CProfilePropertiesDlg::OnConfigureGameOptions() {
    if (!FieldsFitAnsi()) return;
    ReadFields();
    const auto path = logic_.ConfigureGameOptions(fields_);
    ShowFields();
    if (!path) return;
    emit profilePathChosen(*path);
    const QString caption = ToQt(KindInfo(logic_.kind()).directory) + QStringLiteral(" Options");
    emit optionSheetWanted(*path, caption);
}

}  // namespace dravolo
