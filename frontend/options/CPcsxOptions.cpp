#include "frontend/options/CPcsxOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "frontend/launch/quick_configure.h"
#include "frontend/options/option_lists.h"
#include "frontend/options/option_page_parts.h"
#include "frontend/profiles/pcsxr_program.h"

namespace dravolo {

CPcsxOptions::CPcsxOptions(SheetContext& context, QWidget* parent)
    : COptionPageT(context, parent, &_PCSXDATA::Mcd1, &_PCSXDATA::Mcd2) {
    setWindowTitle(QStringLiteral("PCSX Options         "));
    using R = _PCSXDATA;

    QRadioButton *compiler = nullptr, *interpreter = nullptr;
    auto* cpu = MakeCpuGroup(kCompilerText, kInterpreterText, compiler, interpreter);
    BindRadio(compiler, interpreter, &R::Cpu);
    for (QRadioButton* b : {compiler, interpreter})
        connect(b, &QRadioButton::toggled, this, &CPcsxOptions::OnControlChanged);

    auto* fixes = MakeGroup("Fixes");
    auto* fixesBox = new QVBoxLayout(fixes);
    BindCheck(AddCheck(fixesBox, "Gran Turismo"), &R::CdTiming);
    BindCheck(AddCheck(fixesBox, "PE2/Vandal Hearts"), &R::RcntFix);
    fixesBox->addStretch();

    auto* misc = MakeGroup("Miscellaneous");
    auto* miscBox = new QVBoxLayout(misc);
    BindCheck(AddCheck(miscBox, "Enable MDEC Color"), &R::Mdec);
    BindCheck(AddCheck(miscBox, "Enable Console Output"), &R::PsxOut);
    BindCheck(AddCheck(miscBox, "SIO IRQ Always On"), &R::Sio);

    auto* sound = MakeGroup("Sound Settings");
    auto* soundBox = new QVBoxLayout(sound);
    BindCheck(AddCheck(soundBox, "Enable MDEC XA"), &R::Xa);
    BindCheck(AddCheck(soundBox, "Enable CDDA (CD Audio)"), &R::Cdda);
    BindCheck(AddCheck(soundBox, "Spu IRQ Always On "), &R::SpuIrq);

    auto* keys = MakeGroup("Quick Keys");
    auto* keysBox = new QVBoxLayout(keys);
    BindCheck(AddCheck(keysBox, "Enable Quick Keys (F5-F8)"), &R::QKeys);

    auto* bios = MakeBiosGroup(false);
    // "HLE" in the profile is the list's "USE HLE BIOS" entry.
    Carry(&R::Bios);
    BindCustom([this](bool save) {
        if (save) fields_.Bios = PcsxBiosStored(ComboText(biosCombo_));
        else SetComboEditText(biosCombo_, PcsxBiosShown(fields_.Bios));
    });

    auto* pad1 = MakePadGroup("Pad1 Type", pad1_, config1_);
    auto* pad2 = MakePadGroup("Pad2 Type", pad2_, config2_);
    BindPad(pad1_, &R::Pad1);
    BindPad(pad2_, &R::Pad2);
    connect(config1_, &QPushButton::clicked, this,
            [this] { ConfigurePsemuPadOf(EmulatorKind::Pcsx, pad1_, fields_.Pad1); });
    connect(config2_, &QPushButton::clicked, this,
            [this] { ConfigurePsemuPadOf(EmulatorKind::Pcsx, pad2_, fields_.Pad2); });

    auto* country = MakeCountryGroup(kCountryEntries, country_);
    connect(country_, &QComboBox::activated, this, &CPcsxOptions::OnControlChanged);
    BindList(country_, &R::Country);

    auto* memcards = MakeMemcardsGroup(kMemcard1Filter, kMemcard2Filter);
    BindEdit(memcardEdit(0), &R::Mcd1);
    BindEdit(memcardEdit(1), &R::Mcd2);

    // Two columns of groups of about the same height, so that the sheet fits a
    // small laptop screen with its buttons.
    auto* grid = new QGridLayout(this);
    grid->addWidget(cpu, 0, 0);
    grid->addWidget(fixes, 0, 1);
    grid->addWidget(misc, 1, 0);
    grid->addWidget(sound, 1, 1);
    grid->addWidget(bios, 2, 0, 1, 2);
    grid->addWidget(pad1, 3, 0);
    grid->addWidget(pad2, 3, 1);
    grid->addWidget(country, 4, 0);
    grid->addWidget(keys, 4, 1);
    grid->addWidget(memcards, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
}

void CPcsxOptions::OnInitPage() {
    ReadInstallPath(EmulatorKind::Pcsx);
    FillBiosList({std::string(kPcsxHleEntry)});
    pads_ = PcsxIsPcsxReloaded(context_.settings)
                ? FindPcsxrPadPlugins(kPcsxrPluginsDir)
                : FindPsemuPadPlugins(installPath_ + std::string(PsemuPluginDirectory(EmulatorKind::Pcsx)));
    FillPadList(pad1_);
    FillPadList(pad2_);
    UpdateData(false);
    SendBothPaths();
}

}  // namespace dravolo
