#include "frontend/shell/CSettingsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/platform/winfs.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/core/known_settings.h"
#include "frontend/core/settings_store.h"
#include "frontend/shell/settings_values.h"
#include "frontend/widgets/host_path_qt.h"
#include "frontend/widgets/qt_file_filter.h"
#include "frontend/widgets/file_choosers.h"

namespace dravolo {

namespace {
constexpr std::array<const char*, 5> kRowLabels = {"ePSXe:", "FPSE:", "PSinex:", "Adripsx:", "PCSX:"};
}

std::array<std::string, 5>& ProgramNamesInUse() {
    static std::array<std::string, 5> names = [] {
        std::array<std::string, 5> n;
        for (std::size_t i = 0; i < n.size(); ++i) n[i] = std::string(kEmulatorKinds[i].defaultExe);
        return n;
    }();
    return names;
}

CSettingsDlg::CSettingsDlg(ShellContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      backgroundEdit_(new QLineEdit),
      backgroundSelect_(new QPushButton(QStringLiteral("Select"))),
      tileCheck_(new QCheckBox(QStringLiteral("Tile"))),
      textColorButton_(new QPushButton(QStringLiteral("Select TextColor"))) {
    setWindowTitle(QStringLiteral("Settings"));
    const SettingsStore& settings = context_.settings;

    auto makeRows = [](QGroupBox* group, std::array<QLineEdit*, 5>& edits, std::array<QPushButton*, 5>& selects) {
        auto* grid = new QGridLayout(group);
        for (int i = 0; i < 5; ++i) {
            auto* edit = new QLineEdit;
            auto* select = new QPushButton(QStringLiteral("Select"));
            select->setAutoDefault(false);
            auto* label = new QLabel(QString::fromLatin1(kRowLabels[static_cast<std::size_t>(i)]));
            label->setBuddy(edit);
            grid->addWidget(label, i, 0);
            grid->addWidget(edit, i, 1);
            grid->addWidget(select, i, 2);
            edits[static_cast<std::size_t>(i)] = edit;
            selects[static_cast<std::size_t>(i)] = select;
        }
        grid->setColumnStretch(1, 1);
        grid->setColumnMinimumWidth(1, 220);
    };

    auto* paths = new QGroupBox(QStringLiteral("Configure Emulator Paths"));
    makeRows(paths, pathEdits_, pathSelects_);
    auto* programs = new QGroupBox(QStringLiteral("Alternate Executable Filename"));
    makeRows(programs, programEdits_, programSelects_);

    auto* background = new QGroupBox(QStringLiteral("Background Image"));
    auto* backgroundGrid = new QGridLayout(background);
    auto* fileLabel = new QLabel(QStringLiteral("File:"));
    fileLabel->setBuddy(backgroundEdit_);
    backgroundSelect_->setAutoDefault(false);
    backgroundGrid->addWidget(fileLabel, 0, 0);
    backgroundGrid->addWidget(backgroundEdit_, 0, 1);
    backgroundGrid->addWidget(backgroundSelect_, 0, 2);
    backgroundGrid->addWidget(tileCheck_, 1, 1);
    backgroundGrid->setColumnStretch(1, 1);
    backgroundGrid->setColumnMinimumWidth(1, 200);

    auto* colours = new QGroupBox(QStringLiteral("Colors"));
    auto* colourRow = new QHBoxLayout(colours);
    textColorButton_->setAutoDefault(false);
    colourRow->addWidget(textColorButton_);
    colourRow->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsDlg::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(paths);
    left->addWidget(programs);
    auto* right = new QVBoxLayout;
    right->addWidget(background);
    right->addWidget(colours);
    right->addStretch(1);
    right->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);

    // Opening: the stored values with their defaults.
    for (std::size_t i = 0; i < kEmulatorKinds.size(); ++i) {
        const auto kind = kEmulatorKinds[i].kind;
        pathEdits_[i]->setText(ToQt(settings.InstallPath(kind)));
        ProgramNamesInUse()[i] = settings.ExecutableName(kind);
        programEdits_[i]->setText(ToQt(ProgramNamesInUse()[i]));
        connect(pathSelects_[i], &QPushButton::clicked, this, [this, kind] { OnSelectFolder(kind); });
        connect(programSelects_[i], &QPushButton::clicked, this, [this, kind] { OnSelectProgram(kind); });
    }
    backgroundEdit_->setText(ToQt(settings.Get(kBackgroundSetting)));
    tileCheck_->setChecked(settings.Get(kTileBitmapSetting) != 0);
    textColor_ = static_cast<std::uint32_t>(settings.Get(kTextColorSetting));

    connect(backgroundSelect_, &QPushButton::clicked, this, &CSettingsDlg::OnSelectBackground);
    connect(textColorButton_, &QPushButton::clicked, this, &CSettingsDlg::OnSelectTextColor);
}

namespace {

// The host folder of a path typed in the dialog, when it exists.
QString ExistingHostFolder(const QString& windowsPath) {
    const std::string path = FromQt(windowsPath.trimmed());
    if (path.empty() || !DirectoryExists(path)) return QString();
    return HostPathToQt(path);
}

}  // namespace

void CSettingsDlg::OnSelectFolder(EmulatorKind kind) {
    const QString initial = ExistingHostFolder(pathEdit(kind)->text());
    if (auto folder = context_.choosers.PickFolder(this, QStringLiteral("Select a Directory"), initial)) {
        std::string path = WindowsPathFromQt(*folder);
        while (path.size() > 3 && path.back() == '\\') path.pop_back();  // "C:\" keeps its backslash
        pathEdit(kind)->setText(ToQt(path));
    }
}

void CSettingsDlg::OnSelectProgram(EmulatorKind kind) {
    // The program's name, in the emulator's folder when that exists.
    QString initial = ToQt(ProgramNamesInUse()[KindIndex(kind)]);
    if (const QString folder = ExistingHostFolder(pathEdit(kind)->text()); !folder.isEmpty())
        initial = QDir(folder).filePath(initial);
    if (auto file = context_.choosers.OpenFile(this, FilterToQt(kExecutableFilter), initial))
        programEdit(kind)->setText(QFileInfo(*file).fileName());
}

void CSettingsDlg::OnSelectBackground() {
    const QString initial = HostPathToQt(FromQt(backgroundEdit_->text().trimmed()));
    if (auto file = context_.choosers.OpenFile(this, FilterToQt(kBackgroundFilter), initial))
        backgroundEdit_->setText(ToQt(WindowsPathFromQt(*file)));
}

void CSettingsDlg::OnSelectTextColor() {
    // The chooser starts at the colour the list shows.
    const QColor current(RedOf(textColor_), GreenOf(textColor_), BlueOf(textColor_));
    if (auto colour = context_.choosers.PickColor(this, current))
        textColor_ = MakeColorRef(colour->red(), colour->green(), colour->blue());
    emit textColorChanged(textColor_);
}

void CSettingsDlg::accept() {
    SettingsStore& settings = context_.settings;
    for (std::size_t i = 0; i < kEmulatorKinds.size(); ++i) {
        const auto& info = kEmulatorKinds[i];
        settings.Set(InstallPathSetting(info.kind),
                     NormaliseInstallPath(FromQt(pathEdits_[i]->text()), info.defaultPath));
        ProgramNamesInUse()[i] = NormaliseProgramName(FromQt(programEdits_[i]->text()), info.defaultExe);
    }
    settings.Set(kBackgroundSetting, FromQt(backgroundEdit_->text()));
    for (std::size_t i = 0; i < kEmulatorKinds.size(); ++i)
        settings.Set(ExecutableSetting(kEmulatorKinds[i].kind), ProgramNamesInUse()[i]);
    const bool tile = tileCheck_->isChecked();
    settings.Set(kTileBitmapSetting, tile ? 1 : 0);
    settings.Set(kTextColorSetting, static_cast<int>(textColor_));
    emit backgroundChanged(tile);
    emit textColorChanged(textColor_);
    QDialog::accept();
}

}  // namespace dravolo
