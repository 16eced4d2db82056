#include "frontend/options/CAdripsxOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "frontend/launch/quick_configure.h"
#include "frontend/options/option_lists.h"
#include "frontend/options/option_page_parts.h"

namespace dravolo {

CAdripsxOptions::CAdripsxOptions(SheetContext& context, QWidget* parent)
    : COptionPageT(context, parent, &_ADRIPSXDATA::Memcard1, &_ADRIPSXDATA::Memcard2) {
    setWindowTitle(QStringLiteral("Adripsx Options        "));
    using R = _ADRIPSXDATA;

    QRadioButton *compiler = nullptr, *interpreter = nullptr;
    auto* cpu = MakeCpuGroup(kCompilerText, kInterpreterText, compiler, interpreter);
    BindRadio(compiler, interpreter, &R::CPUtype);
    for (QRadioButton* b : {compiler, interpreter})
        connect(b, &QRadioButton::toggled, this, &CAdripsxOptions::OnControlChanged);

    auto* spu = MakeGroup("SPU Settings");
    auto* spuBox = new QVBoxLayout(spu);
    BindCheck(AddCheck(spuBox, "Enable ADPCM"), &R::ADPCMenable);
    BindCheck(AddCheck(spuBox, "Enable CDXA (Game Sound)"), &R::XAenable);
    BindCheck(AddCheck(spuBox, "Enable CDA (MDEC Sound)"), &R::CDAenable);

    auto* misc = MakeGroup("Miscellaneous");
    auto* miscBox = new QVBoxLayout(misc);
    BindCheck(AddCheck(miscBox, "Enable CD Patches"), &R::CDDEC);
    BindCheck(AddCheck(miscBox, "Enable HLE (High Level Emulation)"), &R::EnableHLE);
    miscBox->addStretch();

    auto* bios = MakeBiosGroup(true);
    BindBios(&R::BIOSfile);

    auto* pad = MakePadGroup("Pad Type", pad_, config_);
    BindPad(pad_, &R::PADplugin);
    connect(config_, &QPushButton::clicked, this,
            [this] { ConfigurePsemuPadOf(EmulatorKind::Adripsx, pad_, fields_.PADplugin); });

    auto* memcards = MakeMemcardsGroup(kMemcard1Filter, kMemcard2Filter);
    BindEdit(memcardEdit(0), &R::Memcard1);
    BindEdit(memcardEdit(1), &R::Memcard2);
    for (int card = 0; card < 2; ++card) {
        const auto i = static_cast<std::size_t>(card);
        for (QWidget* w : {static_cast<QWidget*>(memcardLabels_[i]), static_cast<QWidget*>(memcardEdits_[i]),
                           static_cast<QWidget*>(memcardBrowse_[i])}) {
            w->setVisible(false);
            w->setEnabled(false);
        }
    }
    memcards->setMinimumHeight(40);

    auto* command = MakeGroup("Command Line");
    command->setMinimumHeight(40);

    auto* grid = new QGridLayout(this);
    grid->addWidget(cpu, 0, 0, 1, 2);
    grid->addWidget(spu, 1, 0);
    grid->addWidget(misc, 1, 1);
    grid->addWidget(bios, 2, 0, 1, 2);
    grid->addWidget(pad, 3, 0, 1, 2);
    grid->addWidget(memcards, 4, 0);
    grid->addWidget(command, 4, 1);
    grid->setRowStretch(5, 1);
}

void CAdripsxOptions::OnInitPage() {
    ReadInstallPath(EmulatorKind::Adripsx);
    FillBiosList();
    pads_ = FindPsemuPadPlugins(installPath_ + std::string(PsemuPluginDirectory(EmulatorKind::Adripsx)));
    FillPadList(pad_);
    UpdateData(false);
    SendBothPaths();
}

}  // namespace dravolo
