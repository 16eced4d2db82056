#include "frontend/options/CFpseOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include "common/platform/library.h"
#include "common/psemu/settings_file.h"
#include "frontend/launch/quick_configure.h"
#include "frontend/options/fpse_settings.h"
#include "frontend/options/option_lists.h"
#include "frontend/options/option_page_parts.h"

namespace dravolo {

CFpseOptions::CFpseOptions(SheetContext& context, QWidget* parent)
    : COptionPageT(context, parent, &_FPSEDATA::MemCard1, &_FPSEDATA::MemCard2) {
    setWindowTitle(QStringLiteral("FPSE Options           "));
    using R = _FPSEDATA;

    auto* cpu = MakeCpuGroup("Compiler", kInterpreterText, compiler_, interpreter_);
    auto* cpuBox = static_cast<QVBoxLayout*>(cpu->layout());
    BindRadio(compiler_, interpreter_, &R::CpuMode);
    for (QRadioButton* b : {compiler_, interpreter_})
        connect(b, &QRadioButton::toggled, this, [this] {
            UpdateEnabling();
            OnControlChanged();
        });
    mode2_ = AddCheck(cpuBox, "Mode 2");
    BindCheck(mode2_, &R::CpuMode2);
    showGenCode_ = AddCheck(cpuBox, "Show Intel SC");
    showGenCode_->setVisible(false);
    BindCheck(showGenCode_, &R::ShowGenCode);

    auto* graphics = MakeGroup("Graphics/Sound");
    auto* graphicsBox = new QVBoxLayout(graphics);
    BindCheck(AddCheck(graphicsBox, "Allow Extenal Mdec Engine"), &R::UseOtherMDEC);
    BindCheck(AddCheck(graphicsBox, "Enable Spu IRQ (if available)"), &R::IrqEnable);
    graphicsBox->addStretch();

    auto* misc = MakeGroup("Miscellaneous");
    auto* miscBox = new QVBoxLayout(misc);
    BindCheck(AddCheck(miscBox, "Automatic Speed Control"), &R::AutoSpeed);
    BindCheck(AddCheck(miscBox, "Show MDEC in Black and White"), &R::MDEC_bw);
    BindCheck(AddCheck(miscBox, "Disable Optimized Engines (MDEC, GTE)"), &R::DisableEngines);

    auto* cdrom = MakeGroup("CDROM");
    auto* cdromGrid = new QGridLayout(cdrom);
    useCache_ = new QCheckBox(QStringLiteral("Enable Cache"));
    connect(useCache_, &QCheckBox::toggled, this, [this] {
        UpdateEnabling();
        OnControlChanged();
    });
    BindCheck(useCache_, &R::CDUseCache);
    cacheSize_ = new QLineEdit;
    cacheSize_->setObjectName(QStringLiteral("cacheSize"));
    cacheSize_->setValidator(new QIntValidator(0, 99999999, cacheSize_));
    cacheSize_->setMaximumWidth(60);
    cacheArrows_ = new QScrollBar(Qt::Vertical);
    cacheArrows_->setRange(0, 2);
    cacheArrows_->setValue(1);
    cacheArrows_->setFixedHeight(cacheSize_->sizeHint().height());
    connect(cacheArrows_, &QScrollBar::actionTriggered, this, [this](int action) {
        // The bar only lends its arrows: up adds, down takes away.
        if (action == QAbstractSlider::SliderSingleStepSub) StepCacheSize(+1);
        else if (action == QAbstractSlider::SliderSingleStepAdd) StepCacheSize(-1);
        cacheArrows_->setSliderPosition(1);
    });
    connect(cacheSize_, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        const long long typed = text.toLongLong(&ok);
        if (ok && ClampFpseCacheSize(typed) != typed) {
            const QSignalBlocker block(cacheSize_);
            cacheSize_->setText(QString::number(ClampFpseCacheSize(typed)));
        }
        OnControlChanged();
    });
    Carry(&R::CDCacheSize);
    BindCustom([this](bool save) {
        if (save) {
            fields_.CDCacheSize = ClampFpseCacheSize(cacheSize_->text().toLongLong());
        } else {
            const QSignalBlocker block(cacheSize_);
            cacheSize_->setText(QString::number(fields_.CDCacheSize));
        }
    });
    auto* speedLabel = new QLabel(QStringLiteral("Speed"));
    speed_ = new QSlider(Qt::Horizontal);
    speed_->setRange(0, 100);
    speed_->setTickInterval(10);
    speed_->setTickPosition(QSlider::TicksBelow);
    connect(speed_, &QSlider::sliderReleased, this, &CFpseOptions::OnControlChanged);
    // Keyboard steps end at once; a drag ends at the release.
    connect(speed_, &QSlider::valueChanged, this, [this] {
        if (!speed_->isSliderDown()) OnControlChanged();
    });
    Carry(&R::CDStreamSpeed);
    BindCustom([this](bool save) {
        if (save) {
            fields_.CDStreamSpeed = speed_->value();
        } else {
            const QSignalBlocker block(speed_);
            speed_->setValue(fields_.CDStreamSpeed);
        }
    });
    auto* sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(0);
    sizeRow->addWidget(cacheSize_);
    sizeRow->addWidget(cacheArrows_);
    sizeRow->addStretch();
    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(new QLabel(QStringLiteral("Normal")));
    speedRow->addWidget(speed_, 1);
    speedRow->addWidget(new QLabel(QStringLiteral("Fast")));
    cdromGrid->addWidget(useCache_, 0, 0);
    cdromGrid->addLayout(sizeRow, 0, 1);
    cdromGrid->addWidget(speedLabel, 1, 0);
    cdromGrid->addLayout(speedRow, 1, 1);
    cdromGrid->setColumnStretch(1, 1);

    // The BIOS list and its three switches on one line.
    auto* bios = MakeBiosGroup(false, true);
    auto* biosRow = static_cast<QHBoxLayout*>(bios->layout());
    BindBios(&R::BiosName);
    BindCheck(AddCheck(biosRow, "Disable Logo"), &R::DisableLogo);
    BindCheck(AddCheck(biosRow, "Emulated"), &R::EnableHLE);
    BindCheck(AddCheck(biosRow, "Console I/O"), &R::EmuConsole);

    auto* command = MakeGroup("Command Line");
    auto* commandBox = new QVBoxLayout(command);
    auto* commandEdit = new QLineEdit;
    commandEdit->setObjectName(QStringLiteral("commandLine"));
    commandBox->addWidget(commandEdit);
    connect(commandEdit, &QLineEdit::textChanged, this, &CFpseOptions::OnControlChanged);
    BindEdit(commandEdit, &R::CommandLine);

    auto* pad1 = MakePadGroup("Pad1 Type", pad1_, config1_);
    auto* pad2 = MakePadGroup("Pad2 Type", pad2_, config2_);
    BindPad(pad1_, &R::LasPAD1);
    BindPad(pad2_, &R::LasPAD2);
    connect(config1_, &QPushButton::clicked, this, [this] { OnPadConfig(0); });
    connect(config2_, &QPushButton::clicked, this, [this] { OnPadConfig(1); });

    auto* country = MakeCountryGroup(kFpseCountryEntries, country_);
    connect(country_, &QComboBox::activated, this, &CFpseOptions::OnControlChanged);
    BindList(country_, &R::CDCountry);

    auto* memcards = MakeMemcardsGroup(kFpseMemcardFilter, kFpseMemcardFilter);
    BindEdit(memcardEdit(0), &R::MemCard1);
    BindEdit(memcardEdit(1), &R::MemCard2);

    // Carried in the profile for FPSE versions that had them.
    Carry(&R::SpareFlag1);
    Carry(&R::SpareFlag2);
    Carry(&R::SpareFlag3);

    // The groups of three switches side by side, then those of two, so that
    // the sheet fits a small laptop screen with its buttons.
    auto* grid = new QGridLayout(this);
    grid->addWidget(cpu, 0, 0);
    grid->addWidget(misc, 0, 1);
    grid->addWidget(graphics, 1, 0);
    grid->addWidget(cdrom, 1, 1);
    grid->addWidget(bios, 2, 0, 1, 2);
    grid->addWidget(command, 3, 0);
    grid->addWidget(country, 3, 1);
    grid->addWidget(pad1, 4, 0);
    grid->addWidget(pad2, 4, 1);
    grid->addWidget(memcards, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
}

void CFpseOptions::OnInitPage() {
    ReadInstallPath(EmulatorKind::Fpse);
    // The pad lists are built before the stored pads are shown, as on the
    // other pages, so that both lists offer the installed pads and "Config"
    // finds its plugin.
    pads_ = FindFpsePadPlugins(installPath_ + std::string(kFpseNativePluginDirectory));
    FillPadList(pad1_);
    FillPadList(pad2_);
    FillBiosList();
    UpdateData(false);
    UpdateEnabling();
    SendBothPaths();
    // FPSE's plugins read and write their settings in the profile's file, and
    // find the page's values there.
    if (!profileName_.empty()) SetCurrentSettingsFile(FpseSettingsFilePath(profileName_));
    WriteSettingsFile();
}

void CFpseOptions::UpdateEnabling() {
    const bool compiler = compiler_->isChecked();
    mode2_->setEnabled(compiler);
    showGenCode_->setEnabled(compiler);
    const bool cache = useCache_->isChecked();
    cacheSize_->setEnabled(cache);
    cacheArrows_->setEnabled(cache);
}

void CFpseOptions::StepCacheSize(int direction) {
    UpdateData(true);
    fields_.CDCacheSize = ClampFpseCacheSize(static_cast<long long>(fields_.CDCacheSize) + direction * kFpseCacheStep);
    const QSignalBlocker block(cacheSize_);
    cacheSize_->setText(QString::number(fields_.CDCacheSize));
    SetModified();
}

bool CFpseOptions::WriteSettingsFile() {
    if (profileName_.empty()) return false;
    return WriteFpseSettingsFile(fields_, FpseSettingsFilePath(profileName_));
}

void CFpseOptions::OnOK() {
    COptionPageT::OnOK();
    // FPSE reads this file, not the profile record: keep it in step with OK.
    WriteSettingsFile();
}

void CFpseOptions::OnPadConfig(int pad) {
    const PadPlugin* plugin = SelectedPad(padCombo(pad));
    if (!plugin) return;
    if (!profileName_.empty()) SetCurrentSettingsFile(FpseSettingsFilePath(profileName_));
    ConfigureFpsePad(installPath_ + std::string(kFpseNativePluginDirectory) + plugin->fileName, pad,
                     static_cast<std::uintptr_t>(window()->winId()), ProgramModuleInstance(), context_.prompter);
}

}  // namespace dravolo
