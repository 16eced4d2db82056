#include "frontend/options/CEmuPropertySheet.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <type_traits>

#include "frontend/core/settings_store.h"
#include "frontend/options/CAdripsxOptions.h"
#include "frontend/options/CFpseOptions.h"
#include "frontend/options/COptionsPage.h"
#include "frontend/options/CPcsxOptions.h"
#include "frontend/options/CPsinexOptions.h"
#include "frontend/plugins/CPluginsPage.h"
#include "frontend/profiles/pcsxr_program.h"

namespace dravolo {

namespace {

// The profile's two memory-card fields, whatever the record calls them.
template <typename Record>
std::array<std::string*, 2> MemcardFieldsOf(Record& record) {
    if constexpr (requires { record.Memcard1; }) return {&record.Memcard1, &record.Memcard2};
    else if constexpr (requires { record.MemCard1; }) return {&record.MemCard1, &record.MemCard2};
    else return {&record.Mcd1, &record.Mcd2};
}

QIcon TabIcon(int tab) {
    QStyle* style = QApplication::style();
    switch (tab) {
    case 0: return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    case 1: return style->standardIcon(QStyle::SP_ComputerIcon);
    default: return style->standardIcon(QStyle::SP_DriveFDIcon);
    }
}

}  // namespace

QString CEmuPropertySheet::CaptionForKind(SheetKind kind) {
    const auto* emulator = std::get_if<EmulatorKind>(&kind);
    if (!emulator) return QStringLiteral("Memcards Tool");
    switch (*emulator) {
    case EmulatorKind::Epsxe: return QStringLiteral("ePSXe Options");
    case EmulatorKind::Fpse: return QStringLiteral("Fpse Options");
    case EmulatorKind::Psinex: return QStringLiteral("Psinex Options");
    case EmulatorKind::Adripsx: return QStringLiteral("Adripsx Options");
    case EmulatorKind::Pcsx: return QStringLiteral("PCSX Options");
    }
    return QString();
}

std::optional<EmulatorKind> CEmuPropertySheet::emulator() const {
    if (!kind_) return std::nullopt;
    if (const auto* emulator = std::get_if<EmulatorKind>(&*kind_)) return *emulator;
    return std::nullopt;
}

CEmuPropertySheet::CEmuPropertySheet(SheetContext& context, const QString& caption, QWidget* parent)
    : QDialog(parent),
      context_(context),
      tabs_(new QTabWidget),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply)) {
    setWindowTitle(caption);
    tabs_->setIconSize(QSize(16, 16));
    tabs_->setUsesScrollButtons(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &CEmuPropertySheet::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &CEmuPropertySheet::reject);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &CEmuPropertySheet::Apply);
    connect(tabs_, &QTabWidget::currentChanged, this, &CEmuPropertySheet::OnCurrentChanged);
    UpdateApplyButton();
}

CEmuPropertySheet::~CEmuPropertySheet() = default;

COptionPageBase* CEmuPropertySheet::optionPage() const {
    const auto kind = emulator();
    if (!kind) return nullptr;
    switch (*kind) {
    case EmulatorKind::Epsxe: return epsxePage_;
    case EmulatorKind::Fpse: return fpsePage_;
    case EmulatorKind::Psinex: return psinexPage_;
    case EmulatorKind::Adripsx: return adripsxPage_;
    case EmulatorKind::Pcsx: return pcsxPage_;
    }
    return nullptr;
}

void CEmuPropertySheet::ClearPages() {
    const QSignalBlocker block(tabs_);
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
    epsxePage_ = nullptr;
    fpsePage_ = nullptr;
    psinexPage_ = nullptr;
    adripsxPage_ = nullptr;
    pcsxPage_ = nullptr;
    pluginsPage_ = nullptr;
    memcardsPage_ = nullptr;
    currentIndex_ = -1;
}

void CEmuPropertySheet::AddPage(CSheetPage* page, const QIcon& icon) {
    const QSignalBlocker block(tabs_);
    tabs_->addTab(page, icon, page->windowTitle());
    connect(page, &CSheetPage::modifiedChanged, this, &CEmuPropertySheet::UpdateApplyButton);
}

void CEmuPropertySheet::SetKind(std::optional<SheetKind> kind) {
    ClearPages();
    kind_ = kind;
    if (!kind) {
        UpdateApplyButton();
        return;
    }
    const auto optionKind = emulator();
    if (optionKind) {
        COptionPageBase* page = nullptr;
        switch (*optionKind) {
        case EmulatorKind::Epsxe: page = epsxePage_ = new COptionsPage(context_); break;
        case EmulatorKind::Fpse: page = fpsePage_ = new CFpseOptions(context_); break;
        case EmulatorKind::Psinex: page = psinexPage_ = new CPsinexOptions(context_); break;
        case EmulatorKind::Adripsx: page = adripsxPage_ = new CAdripsxOptions(context_); break;
        case EmulatorKind::Pcsx: page = pcsxPage_ = new CPcsxOptions(context_); break;
        }
        page->SetProfileName(profileName_);
        connect(page, &COptionPageBase::memcardPathSent, this, &CEmuPropertySheet::OnOptionPath);
        AddPage(page, TabIcon(0));

        pluginsPage_ = new CPluginsPage(context_);
        const EmulatorKind emulator = *optionKind;
        pluginsPage_->SetKind(emulator);
        pluginsPage_->SetInstallPath(context_.settings.InstallPath(emulator));
        if (emulator == EmulatorKind::Pcsx && PcsxIsPcsxReloaded(context_.settings))
            pluginsPage_->SetPcsxrPluginsDir(std::string(kPcsxrPluginsDir));
        pluginsPage_->SetProfileName(profileName_);
        AddPage(pluginsPage_, TabIcon(1));
    }
    if (context_.makeMemcardsPage) {
        memcardsPage_ = context_.makeMemcardsPage(nullptr);
        if (memcardsPage_) {
            memcardsPage_->SetKind(optionKind);
            memcardsPage_->SetProfileName(optionKind ? profileName_ : std::string());
            connect(memcardsPage_, &CMemcardsPageBase::leftCardPathSent, this,
                    [this](const std::string& path) { OnMemcardsPath(0, path); });
            connect(memcardsPage_, &CMemcardsPageBase::rightCardPathSent, this,
                    [this](const std::string& path) { OnMemcardsPath(1, path); });
            AddPage(memcardsPage_, TabIcon(2));
        }
    }
    UpdateApplyButton();
}

void CEmuPropertySheet::SetProfileName(const std::string& name) {
    profileName_ = name;
    if (pluginsPage_) pluginsPage_->SetProfileName(name);
    if (COptionPageBase* page = optionPage()) page->SetProfileName(name);
    if (memcardsPage_ && emulator()) memcardsPage_->SetProfileName(name);
}

void CEmuPropertySheet::LoadRecord(AnyProfileRecord& any) {
    std::visit(
        [this](auto& record) {
            using R = std::decay_t<decltype(record)>;
            if (emulator() != R::kKind) return;
            if constexpr (std::is_same_v<R, _EPSXEDATA>) epsxePage_->Exchange(record, false, epsxePage_->initialised());
            else if constexpr (std::is_same_v<R, _FPSEDATA>)
                fpsePage_->Exchange(record, false, fpsePage_->initialised());
            else if constexpr (std::is_same_v<R, _PSINEXDATA>)
                psinexPage_->Exchange(record, false, psinexPage_->initialised());
            else if constexpr (std::is_same_v<R, _ADRIPSXDATA>)
                adripsxPage_->Exchange(record, false, adripsxPage_->initialised());
            else pcsxPage_->Exchange(record, false, pcsxPage_->initialised());
            pluginsPage_->Exchange(record, false);
            if (memcardsPage_) {
                const auto cards = MemcardFieldsOf(record);
                memcardsPage_->ExchangeCards(*cards[0], *cards[1], false);
            }
        },
        any);
}

void CEmuPropertySheet::StoreRecord(AnyProfileRecord& any) {
    std::visit(
        [this](auto& record) {
            using R = std::decay_t<decltype(record)>;
            if (emulator() != R::kKind) return;
            if constexpr (std::is_same_v<R, _EPSXEDATA>) epsxePage_->Exchange(record, true, false);
            else if constexpr (std::is_same_v<R, _FPSEDATA>) fpsePage_->Exchange(record, true, false);
            else if constexpr (std::is_same_v<R, _PSINEXDATA>) psinexPage_->Exchange(record, true, false);
            else if constexpr (std::is_same_v<R, _ADRIPSXDATA>) adripsxPage_->Exchange(record, true, false);
            else pcsxPage_->Exchange(record, true, false);
            pluginsPage_->Exchange(record, true);
            if (memcardsPage_) {
                const auto cards = MemcardFieldsOf(record);
                memcardsPage_->ExchangeCards(*cards[0], *cards[1], true);
            }
        },
        any);
}

CSheetPage* CEmuPropertySheet::PageAt(int index) const {
    return index < 0 ? nullptr : qobject_cast<CSheetPage*>(tabs_->widget(index));
}

void CEmuPropertySheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (currentIndex_ < 0 && tabs_->count() > 0) OnCurrentChanged(tabs_->currentIndex());
}

void CEmuPropertySheet::OnCurrentChanged(int index) {
    if (CSheetPage* old = PageAt(currentIndex_); old && old->initialised() && currentIndex_ != index)
        old->OnKillActive();
    currentIndex_ = index;
    if (CSheetPage* page = PageAt(index)) {
        page->EnsureInitialised();
        page->OnSetActive();
    }
}

void CEmuPropertySheet::UpdateApplyButton() {
    bool modified = false;
    for (int i = 0; i < tabs_->count(); ++i)
        if (CSheetPage* page = PageAt(i); page && page->isModified()) modified = true;
    buttons_->button(QDialogButtonBox::Apply)->setEnabled(modified);
}

void CEmuPropertySheet::OnMemcardsPath(int card, const std::string& path) {
    cardPaths_[static_cast<std::size_t>(card)] = path;
    if (COptionPageBase* page = optionPage()) page->SetMemcardPath(card, path);
}

void CEmuPropertySheet::OnOptionPath(int card, const std::string& path) {
    cardPaths_[static_cast<std::size_t>(card)] = path;
    if (!memcardsPage_) return;
    if (card == 0) memcardsPage_->SetLeftCardPath(path);
    else memcardsPage_->SetRightCardPath(path);
}

void CEmuPropertySheet::Apply() {
    if (CSheetPage* page = PageAt(tabs_->currentIndex()); page && page->initialised()) page->UpdateData(true);
    COptionPageBase* option = optionPage();
    if (!option) return;  // the memory-card tool has no profile to store
    AnyProfileRecord record = MakeDefaultRecord(*emulator(), context_.settings);
    std::visit(
        [this](auto& r) {
            using R = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<R, _EPSXEDATA>) epsxePage_->Exchange(r, true, epsxePage_->initialised());
            else if constexpr (std::is_same_v<R, _FPSEDATA>) {
                fpsePage_->Exchange(r, true, fpsePage_->initialised());
                if (fpsePage_->initialised()) fpsePage_->WriteSettingsFile();
            } else if constexpr (std::is_same_v<R, _PSINEXDATA>)
                psinexPage_->Exchange(r, true, psinexPage_->initialised());
            else if constexpr (std::is_same_v<R, _ADRIPSXDATA>)
                adripsxPage_->Exchange(r, true, adripsxPage_->initialised());
            else pcsxPage_->Exchange(r, true, pcsxPage_->initialised());
            // A plugin chosen since the sheet opened is what the page shows.
            if (pluginsPage_->initialised()) pluginsPage_->CommitChoices();
            pluginsPage_->Exchange(r, true);
            if (memcardsPage_) {
                const auto cards = MemcardFieldsOf(r);
                memcardsPage_->SetLeftCardPath(*cards[0]);
                memcardsPage_->SetRightCardPath(*cards[1]);
            }
        },
        record);
    option->SetModified(false);
    pluginsPage_->SetModified(false);
    if (applied_) applied_(record);
}

void CEmuPropertySheet::accept() {
    if (CSheetPage* page = PageAt(tabs_->currentIndex()); page && page->initialised()) page->OnKillActive();
    for (int i = 0; i < tabs_->count(); ++i)
        if (CSheetPage* page = PageAt(i); page && page->initialised()) page->OnOK();
    QDialog::accept();
}

}  // namespace dravolo
