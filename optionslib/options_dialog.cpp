#include "optionslib/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "common/qt/ansi_qstring.h"
#include "common/qt/message_box_prompter.h"
#include "optionslib/core/pad_config.h"

namespace dravolo::kstuff {

namespace {

constexpr std::array<const char*, kSwitchCount> kSwitchCaptions = {
    "Enable sound",
    "Enable CDDA",
    "Enable MDEC XA",
    "Enable SPU IRQ hack",
    "Read subchannels",
    "Cache subchannel M3S file to disk",
    "Cache subchannel LG 8520/21/22b",
    "Auto load PPF files",
    "Start ePSXe GUI",
};

QGroupBox* Group(const char* title, QLayout* content) {
    auto* box = new QGroupBox(QString::fromLatin1(title));
    box->setLayout(content);
    return box;
}

}  // namespace

OptionsDialog::OptionsDialog(QWidget* parent, std::string libraryPath)
    : QWidget(parent), libraryPath_(std::move(libraryPath)) {
    setObjectName(QStringLiteral("KestrineOptions"));
    BuildLayout();
    ShowValues(OptionValues{}, {});
    connect(padButton_, &QPushButton::clicked, this, [this] { ConfigurePads(); });
}

void OptionsDialog::BuildLayout() {
    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        switches_[i] = new QCheckBox(QString::fromLatin1(kSwitchCaptions[i]));
        switches_[i]->setObjectName(ToQt(kSwitchNames[i]));
    }

    // The stored texts travel through 260-byte buffers. The BIOS field has no
    // length limit of its own: a limit would cut a longer list entry when it
    // is chosen, so it shows whole and OK refuses it instead.
    bios_ = new QComboBox;
    bios_->setObjectName(QStringLiteral("BIOS"));
    bios_->setEditable(true);
    bios_->setInsertPolicy(QComboBox::NoInsert);
    // Long BIOS paths must not widen the panel beyond the host's frame.
    bios_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    bios_->setMinimumContentsLength(24);

    cdromLetter_ = new QComboBox;
    cdromLetter_->setObjectName(QStringLiteral("CdromLetter"));
    for (const auto& entry : CdDriveEntries()) cdromLetter_->addItem(ToQt(entry));
    cdromLetter_->setMaxVisibleItems(10);

    country_ = new QComboBox;
    country_->setObjectName(QStringLiteral("Country"));
    for (const auto entry : kCountryEntries) country_->addItem(ToQt(entry));

    cmdLine_ = new QLineEdit;
    cmdLine_->setObjectName(QStringLiteral("CmdLine"));
    cmdLine_->setMaxLength(static_cast<int>(kMaxTextLength));

    padButton_ = new QPushButton(QStringLiteral("Start ePSXe for pad configuring"));
    padButton_->setObjectName(QStringLiteral("PadButton"));

    auto* biosRow = new QHBoxLayout;
    auto* biosLabel = new QLabel(QStringLiteral("BIOS:"));
    biosLabel->setBuddy(bios_);
    biosRow->addWidget(biosLabel);
    biosRow->addWidget(bios_, 1);

    auto* sound = new QGridLayout;
    sound->addWidget(switches_[kSoundEnabled], 0, 0);
    sound->addWidget(switches_[kSoundCDDA], 0, 1);
    sound->addWidget(switches_[kSoundXA], 1, 0);
    sound->addWidget(switches_[kSoundSpuIrq], 1, 1);

    auto* countryRow = new QHBoxLayout;
    auto* countryLabel = new QLabel(QStringLiteral("Country:"));
    countryLabel->setBuddy(country_);
    countryRow->addWidget(countryLabel);
    countryRow->addWidget(country_, 1);

    auto* misc = new QVBoxLayout;
    misc->addWidget(switches_[kAutoPPF]);

    auto* cdrom = new QVBoxLayout;
    auto* driveRow = new QHBoxLayout;
    auto* driveLabel = new QLabel(QStringLiteral("CD drive letter:"));
    driveLabel->setBuddy(cdromLetter_);
    driveRow->addWidget(driveLabel);
    driveRow->addWidget(cdromLetter_, 1);
    cdrom->addLayout(driveRow);
    cdrom->addWidget(new QLabel(QStringLiteral("Internal ePSXe cdr plugin options:")));
    cdrom->addWidget(switches_[kSubchannelCdromEnabled]);
    cdrom->addWidget(switches_[kSubchannelCaching]);
    cdrom->addWidget(switches_[kSubchannelCachingLG]);

    auto* pad = new QVBoxLayout;
    pad->addWidget(padButton_);

    auto* command = new QGridLayout;
    auto* cmdLabel = new QLabel(QStringLiteral("Cmd line:"));
    cmdLabel->setBuddy(cmdLine_);
    command->addWidget(cmdLabel, 0, 0);
    command->addWidget(cmdLine_, 0, 1);
    command->addWidget(switches_[kStartGui], 1, 0, 1, 2);

    auto* left = new QVBoxLayout;
    left->addWidget(Group("BIOS", biosRow));
    left->addWidget(Group("Sound settings", sound));
    auto* countryAndMisc = new QHBoxLayout;
    countryAndMisc->addWidget(Group("Country settings", countryRow), 1);
    countryAndMisc->addWidget(Group("Misc settings", misc), 1);
    left->addLayout(countryAndMisc);
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(Group("Cdrom settings", cdrom));
    right->addWidget(Group("Pad settings", pad));
    right->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addLayout(columns);
    outer->addWidget(Group("Command line", command));

    // Tab walks the panel as it reads: left column, right column, command line.
    QWidget* const order[] = {bios_,
                              switches_[kSoundEnabled],
                              switches_[kSoundCDDA],
                              switches_[kSoundXA],
                              switches_[kSoundSpuIrq],
                              country_,
                              switches_[kAutoPPF],
                              cdromLetter_,
                              switches_[kSubchannelCdromEnabled],
                              switches_[kSubchannelCaching],
                              switches_[kSubchannelCachingLG],
                              padButton_,
                              cmdLine_,
                              switches_[kStartGui]};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void OptionsDialog::ShowValues(const OptionValues& values, const std::vector<std::string>& biosImages) {
    // Filling the controls is not an edit: no change signals reach anyone.
    const QSignalBlocker blockBios(bios_);
    bios_->clear();
    for (const auto& image : biosImages) bios_->addItem(ToQt(image));
    bios_->setCurrentIndex(-1);
    bios_->setEditText(ToQt(values.bios));

    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        const QSignalBlocker block(switches_[i]);
        switches_[i]->setChecked(values.switches[i]);
    }
    {
        const QSignalBlocker block(cdromLetter_);
        cdromLetter_->setCurrentIndex(CdDriveEntryForLetter(values.cdromLetter));
    }
    {
        const QSignalBlocker block(country_);
        country_->setCurrentIndex(CountryEntryForValue(values.country));
    }
    const QSignalBlocker blockCmd(cmdLine_);
    cmdLine_->setText(ToQt(values.cmdLine));
}

OptionValues OptionsDialog::CurrentValues() const {
    OptionValues values;
    values.bios = FromQt(bios_->currentText());
    values.cmdLine = FromQt(cmdLine_->text());
    for (std::size_t i = 0; i < kSwitchCount; ++i) values.switches[i] = switches_[i]->isChecked();
    values.cdromLetter = LetterForCdDriveEntry(cdromLetter_->currentIndex());
    values.country = CountryValueForEntry(country_->currentIndex());
    return values;
}

std::optional<OptionValues> OptionsDialog::ValuesForOk() {
    OptionValues values = CurrentValues();
    if (values.bios.size() <= kMaxTextLength) return values;
    MessageBoxPrompter prompter(this);
    prompter.Tell(kBiosTooLongText, kBiosTooLongCaption, PromptIcon::Stop);
    return std::nullopt;
}

void OptionsDialog::ConfigurePads() {
    MessageBoxPrompter prompter(this);
    StartPadConfiguration(prompter, libraryPath_, DefaultProcessStarter());
}

}  // namespace dravolo::kstuff
