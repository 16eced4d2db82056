#include "frontend/options/COptionsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/qt/ansi_qstring.h"
#include "frontend/options/option_lists.h"

namespace dravolo {

COptionsPage::COptionsPage(SheetContext& context, QWidget* parent)
    : COptionPageT(context, parent, &_EPSXEDATA::Memcard1, &_EPSXEDATA::Memcard2) {
    setWindowTitle(QStringLiteral("Epsxe Options        "));
    using R = _EPSXEDATA;

    auto* sound = MakeGroup("Sound Settings");
    auto* soundBox = new QVBoxLayout(sound);
    BindCheck(AddCheck(soundBox, "Enable Sound"), &R::SoundEnabled);
    BindCheck(AddCheck(soundBox, "Enable CDDA"), &R::SoundCDDA);
    BindCheck(AddCheck(soundBox, "Enable Game XA"), &R::SoundXARead);
    BindCheck(AddCheck(soundBox, "Spu IRQ Always On "), &R::SoundSpuIrq);
    soundBox->addStretch();

    auto* cdrom = MakeGroup("CD-Rom Settings");
    auto* cdromBox = new QVBoxLayout(cdrom);
    BindCheck(AddCheck(cdromBox, "Enable Subchannel Reading"), &R::SubchannelCdromEnabled);
    BindCheck(AddCheck(cdromBox, "Cache Subchannel"), &R::SubchannelCaching);
    BindCheck(AddCheck(cdromBox, "Cache Subchannel (LG)"), &R::SubchannelCachingLG);
    auto* driveRow = new QHBoxLayout;
    auto* driveLabel = new QLabel(QStringLiteral("CDR Drive:"));
    cdrDrive_ = new QComboBox;
    cdrDrive_->setObjectName(QStringLiteral("cdrDrive"));
    for (const std::string& entry : CdrDriveEntries()) cdrDrive_->addItem(ToQt(entry));
    driveLabel->setBuddy(cdrDrive_);
    driveRow->addWidget(driveLabel);
    driveRow->addWidget(cdrDrive_);
    driveRow->addStretch();
    cdromBox->addLayout(driveRow);
    connect(cdrDrive_, &QComboBox::activated, this, &COptionsPage::OnControlChanged);
    Carry(&R::CdromLetter);
    BindCustom([this](bool save) {
        if (save) {
            fields_.CdromLetter = CdromLetterFromEntry(ComboText(cdrDrive_));
        } else {
            const QSignalBlocker block(cdrDrive_);
            cdrDrive_->setCurrentIndex(CdrDriveEntryFor(fields_.CdromLetter).value_or(-1));
        }
    });

    auto* misc = MakeGroup("Miscellaneous");
    auto* miscBox = new QVBoxLayout(misc);
    BindCheck(AddCheck(miscBox, "Autoload PPF"), &R::AutoPpfLoad);
    // Kept in the profile though ePSXe no longer offers them: never shown.
    for (auto [text, field] :
         {std::pair{"Enable MDEC XA", &R::MdecXa}, std::pair{"Accurate CDR Timing", &R::AccurateCdrTiming},
          std::pair{"Enable no cdr param overwrite", &R::NoCdrParamOverwrite},
          std::pair{"SIO IRQ Always On", &R::SioIrq}}) {
        QCheckBox* hidden = AddCheck(miscBox, text);
        hidden->setVisible(false);
        BindCheck(hidden, field);
    }
    miscBox->addStretch();

    auto* bios = MakeBiosGroup(true);
    BindBios(&R::BiosName);

    auto* command = MakeGroup("Command Line");
    auto* commandBox = new QVBoxLayout(command);
    auto* commandEdit = new QLineEdit;
    commandEdit->setObjectName(QStringLiteral("commandLine"));
    commandBox->addWidget(commandEdit);
    connect(commandEdit, &QLineEdit::textChanged, this, &COptionsPage::OnControlChanged);
    BindEdit(commandEdit, &R::DVOCommandLine);
    BindCheck(AddCheck(commandBox, "Enable GUI"), &R::DVOEnableGui);

    auto* countryGroup = MakeGroup("Country Settings");
    auto* countryRow = new QHBoxLayout(countryGroup);
    auto* countryLabel = new QLabel(QStringLiteral("Country:"));
    country_ = new QComboBox;
    country_->setObjectName(QStringLiteral("country"));
    for (std::string_view entry : kCountryEntries) country_->addItem(ToQt(entry));
    countryLabel->setBuddy(country_);
    countryRow->addWidget(countryLabel);
    countryRow->addWidget(country_, 1);
    connect(country_, &QComboBox::activated, this, &COptionsPage::OnControlChanged);
    BindList(country_, &R::Country);

    auto* memcards = MakeMemcardsGroup(kEpsxeMemcardFilter, kEpsxeMemcardFilter);
    BindEdit(memcardEdit(0), &R::Memcard1);
    BindEdit(memcardEdit(1), &R::Memcard2);

    // ePSXe keeps its pads in its own dialog; the group only marks the place.
    auto* pad = MakeGroup("Pad Type");
    pad->setMinimumHeight(40);

    auto* grid = new QGridLayout(this);
    grid->addWidget(sound, 0, 0);
    grid->addWidget(cdrom, 0, 1);
    grid->addWidget(misc, 1, 0);
    grid->addWidget(countryGroup, 1, 1);
    grid->addWidget(bios, 2, 0, 1, 2);
    grid->addWidget(command, 3, 0);
    grid->addWidget(pad, 3, 1);
    grid->addWidget(memcards, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
}

void COptionsPage::OnInitPage() {
    ReadInstallPath(EmulatorKind::Epsxe);
    FillBiosList();
    UpdateData(false);
    SendBothPaths();
}

void COptionsPage::OnOK() {
    UpdateData(true);
    fields_.CdromLetter = CdromLetterFromEntry(ComboText(cdrDrive_));
    if (activated()) SendBothPaths();
}

}  // namespace dravolo
