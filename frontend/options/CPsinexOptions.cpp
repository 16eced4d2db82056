#include "frontend/options/CPsinexOptions.h"

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

namespace dravolo {

CPsinexOptions::CPsinexOptions(SheetContext& context, QWidget* parent)
    : COptionPageT(context, parent, &_PSINEXDATA::MemCard1, &_PSINEXDATA::MemCard2) {
    setWindowTitle(QStringLiteral("Psinex Options        "));
    using R = _PSINEXDATA;

    QRadioButton *compiler = nullptr, *interpreter = nullptr;
    auto* cpu = MakeCpuGroup(kCompilerText, kInterpreterText, compiler, interpreter);
    BindRadio(compiler, interpreter, &R::CpuMode);
    for (QRadioButton* b : {compiler, interpreter})
        connect(b, &QRadioButton::toggled, this, &CPsinexOptions::OnControlChanged);

    auto* misc = MakeGroup("Miscellaneous");
    auto* miscBox = new QVBoxLayout(misc);
    BindCheck(AddCheck(miscBox, "Enable Colored MDECS"), &R::Mdec);
    BindCheck(AddCheck(miscBox, "Spu IRQ Always On "), &R::SpuIrq);

    // PSinex takes its plugins from the plugin page and no command line from
    // us; the groups mark where its own dialog has them.
    auto* plugins = MakeGroup("GPU/SPU/CDR Settings");
    plugins->setMinimumHeight(40);
    auto* command = MakeGroup("Command Line");
    command->setMinimumHeight(40);

    auto* bios = MakeBiosGroup(true);
    BindBios(&R::Bios);

    auto* pad = MakePadGroup("Pad Type", pad_, config_);
    BindPad(pad_, &R::Controls);
    connect(config_, &QPushButton::clicked, this,
            [this] { ConfigurePsemuPadOf(EmulatorKind::Psinex, pad_, fields_.Controls); });

    auto* memcards = MakeMemcardsGroup(kMemcard1Filter, kMemcard2Filter);
    BindEdit(memcardEdit(0), &R::MemCard1);
    BindEdit(memcardEdit(1), &R::MemCard2);

    auto* grid = new QGridLayout(this);
    grid->addWidget(cpu, 0, 0);
    grid->addWidget(misc, 0, 1);
    grid->addWidget(plugins, 1, 0);
    grid->addWidget(command, 1, 1);
    grid->addWidget(bios, 2, 0, 1, 2);
    grid->addWidget(pad, 3, 0, 1, 2);
    grid->addWidget(memcards, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
}

void CPsinexOptions::OnInitPage() {
    ReadInstallPath(EmulatorKind::Psinex);
    FillBiosList();
    pads_ = FindPsemuPadPlugins(installPath_ + std::string(PsemuPluginDirectory(EmulatorKind::Psinex)));
    FillPadList(pad_);
    UpdateData(false);
    SendBothPaths();
}

}  // namespace dravolo
