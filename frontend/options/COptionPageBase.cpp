#include "frontend/options/COptionPageBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "common/qt/ansi_qstring.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/quick_configure.h"
#include "frontend/options/option_lists.h"
#include "frontend/profiles/pcsxr_program.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/widgets/host_path_qt.h"
#include "frontend/widgets/qt_file_filter.h"
#include "frontend/widgets/file_choosers.h"

namespace dravolo {

COptionPageBase::COptionPageBase(SheetContext& context, QWidget* parent) : CSheetPage(parent), context_(context) {}

void COptionPageBase::ReadInstallPath(EmulatorKind kind) { installPath_ = context_.settings.InstallPath(kind); }

void COptionPageBase::SendBothPaths() {
    emit memcardPathSent(0, MemcardPath(0));
    emit memcardPathSent(1, MemcardPath(1));
}

void COptionPageBase::OnControlChanged() {
    UpdateData(true);
    SetModified();
}

void COptionPageBase::OnSetActive() {
    UpdateData(false);
    activated_ = true;
}

void COptionPageBase::OnKillActive() {
    UpdateData(true);
    activated_ = false;
    SendBothPaths();
}

void COptionPageBase::OnOK() {
    UpdateData(true);
    if (activated_) SendBothPaths();
}

QCheckBox* COptionPageBase::AddCheck(QBoxLayout* layout, const char* text) {
    auto* box = new QCheckBox(QString::fromLatin1(text));
    connect(box, &QCheckBox::toggled, this, &COptionPageBase::OnControlChanged);
    layout->addWidget(box);
    return box;
}

QGroupBox* COptionPageBase::MakeGroup(const char* title) { return new QGroupBox(QString::fromLatin1(title)); }

QGroupBox* COptionPageBase::MakeMemcardsGroup(std::string_view filter1, std::string_view filter2) {
    memcardFilters_ = {std::string(filter1), std::string(filter2)};
    auto* group = MakeGroup("MemCards");
    auto* grid = new QGridLayout(group);
    for (int card = 0; card < 2; ++card) {
        const auto i = static_cast<std::size_t>(card);
        auto* label = new QLabel(card == 0 ? QStringLiteral("MemCard 1:") : QStringLiteral("MemCard 2:"));
        auto* edit = new QLineEdit;
        auto* browse = new QPushButton(QStringLiteral("Browse"));
        browse->setAutoDefault(false);
        label->setBuddy(edit);
        // Room for a usual card path without scrolling.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
        edit->setObjectName(card == 0 ? QStringLiteral("memcard1") : QStringLiteral("memcard2"));
        grid->addWidget(label, card, 0);
        grid->addWidget(edit, card, 1);
        grid->addWidget(browse, card, 2);
        memcardLabels_[i] = label;
        memcardEdits_[i] = edit;
        memcardBrowse_[i] = browse;
        connect(edit, &QLineEdit::textChanged, this, [this, card] {
            OnControlChanged();
            emit memcardPathSent(card, MemcardPath(card));
        });
        connect(browse, &QPushButton::clicked, this, [this, card] { OnMemcardBrowse(card); });
    }
    grid->setColumnStretch(1, 1);
    return group;
}

QGroupBox* COptionPageBase::MakeBiosGroup(bool lowerCase, bool listOnly) {
    lowerCaseBios_ = lowerCase;
    auto* group = MakeGroup("BIOS");
    auto* row = new QHBoxLayout(group);
    biosCombo_ = new QComboBox;
    biosCombo_->setObjectName(QStringLiteral("bios"));
    biosCombo_->setEditable(!listOnly);
    biosCombo_->setInsertPolicy(QComboBox::NoInsert);
    biosCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    biosCombo_->setMinimumContentsLength(16);
    row->addWidget(biosCombo_, 1);
    if (!listOnly) {
        biosBrowse_ = new QPushButton(QStringLiteral("Browse"));
        biosBrowse_->setAutoDefault(false);
        row->addWidget(biosBrowse_);
        connect(biosBrowse_, &QPushButton::clicked, this, [this] { OnBiosBrowse(); });
        connect(biosCombo_, &QComboBox::editTextChanged, this, [this](const QString& text) {
            if (lowerCaseBios_ && text != text.toLower()) {
                // A lower-case list keeps its edit in lower case as the user types.
                QLineEdit* edit = biosCombo_->lineEdit();
                const int cursor = edit->cursorPosition();
                const QSignalBlocker block(biosCombo_);
                edit->setText(text.toLower());
                edit->setCursorPosition(cursor);
            }
            OnControlChanged();
        });
    }
    connect(biosCombo_, &QComboBox::activated, this, &COptionPageBase::OnControlChanged);
    return group;
}

void COptionPageBase::FillBiosList(const std::vector<std::string>& extraEntries) {
    std::vector<std::string> entries = FindBiosFiles(installPath_);
    entries.insert(entries.end(), extraEntries.begin(), extraEntries.end());
    if (lowerCaseBios_)
        for (std::string& e : entries) e = LowerAnsi(e);
    const QSignalBlocker block(biosCombo_);
    const QString text = biosCombo_->currentText();
    SetSortedEntries(biosCombo_, std::move(entries));
    if (biosCombo_->isEditable()) biosCombo_->setEditText(text);
}

QGroupBox* COptionPageBase::MakePadGroup(const char* title, QComboBox*& combo, QPushButton*& config) {
    auto* group = MakeGroup(title);
    auto* row = new QHBoxLayout(group);
    combo = new QComboBox;
    // Wide enough for a plugin name and its version.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(24);
    config = new QPushButton(QStringLiteral("Config"));
    config->setAutoDefault(false);
    row->addWidget(combo, 1);
    row->addWidget(config);
    connect(combo, &QComboBox::activated, this, &COptionPageBase::OnControlChanged);
    return group;
}

void COptionPageBase::FillPadList(QComboBox* combo) {
    // Each entry keeps the index of its plugin: the text is only for showing.
    const QSignalBlocker block(combo);
    combo->clear();
    for (std::size_t i : PadListOrder(pads_)) combo->addItem(ToQt(PadEntryText(pads_[i])), static_cast<qulonglong>(i));
}

void COptionPageBase::ShowPad(QComboBox* combo, const std::string& fileName) {
    const QSignalBlocker block(combo);
    const auto pad = FindPadByFile(pads_, fileName);
    combo->setCurrentIndex(pad ? combo->findData(static_cast<qulonglong>(*pad)) : -1);
}

const PadPlugin* COptionPageBase::SelectedPad(const QComboBox* combo) const {
    if (!HasSelection(combo)) return nullptr;
    bool ok = false;
    const qulonglong index = combo->currentData().toULongLong(&ok);
    return ok && index < pads_.size() ? &pads_[static_cast<std::size_t>(index)] : nullptr;
}

void COptionPageBase::ReadPad(QComboBox* combo, std::string& fileName) const {
    if (const PadPlugin* pad = SelectedPad(combo)) fileName = pad->fileName;
}

std::optional<std::string> COptionPageBase::ChooseFile(std::string_view filter, std::string_view extension,
                                                       const std::string& initial) {
    const std::string start = BrowseStartPath(initial, installPath_);
    const QString initialHost = HostPathToQt(start);
    const auto chosen = context_.choosers.OpenFile(this, FilterToQt(filter), initialHost);
    if (!chosen) return std::nullopt;
    return WithDefaultExtension(WindowsPathFromQt(*chosen), extension);
}

void COptionPageBase::OnBiosBrowse() {
    UpdateData(true);
    if (const auto path = ChooseFile(kBiosFilter, kBiosExtension, ComboText(biosCombo_))) {
        SetComboEditText(biosCombo_, lowerCaseBios_ ? LowerAnsi(*path) : *path);
        OnControlChanged();
    }
}

void COptionPageBase::OnMemcardBrowse(int card) {
    UpdateData(true);
    const auto i = static_cast<std::size_t>(card);
    if (const auto path = ChooseFile(memcardFilters_[i], kMemcardExtension, MemcardPath(card))) {
        SetMemcardPath(card, *path);
        UpdateData(false);
        SetModified();
        emit memcardPathSent(card, MemcardPath(card));
    }
}

void COptionPageBase::ConfigurePsemuPadOf(EmulatorKind kind, QComboBox* combo, std::string& field) {
    if (!HasSelection(combo)) return;
    const std::string before = field;
    ReadPad(combo, field);
    if (field != before) SetModified();
    const std::string sideFile = profileName_.empty() ? std::string() : ProfilePath(kind, profileName_, ".pad");
    if (kind == EmulatorKind::Pcsx && PcsxIsPcsxReloaded(context_.settings)) {
        ConfigurePcsxrPad(kPcsxrPluginsDir, field, sideFile, context_.prompter);
        return;
    }
    ConfigurePsemuPad(installPath_ + std::string(PsemuPluginDirectory(kind)) + field, sideFile, context_.editor,
                      context_.prompter);
}

bool IsChecked(const QCheckBox* box) { return box->isChecked(); }
bool IsChecked(const QRadioButton* button) { return button->isChecked(); }

void SetChecked(QCheckBox* box, bool checked) {
    const QSignalBlocker block(box);
    box->setChecked(checked);
}

void SetRadios(QRadioButton* first, QRadioButton* second, long long value) {
    const QSignalBlocker block1(first), block2(second);
    // Exclusive buttons cannot all be cleared while auto-exclusive is on.
    first->setAutoExclusive(false);
    second->setAutoExclusive(false);
    first->setChecked(value == 0);
    second->setChecked(value == 1);
    first->setAutoExclusive(true);
    second->setAutoExclusive(true);
}

std::string EditText(const QLineEdit* edit) { return FromQt(edit->text()); }

void SetEditText(QLineEdit* edit, const std::string& text) {
    const QSignalBlocker block(edit);
    edit->setText(ToQt(text));
}

bool HasSelection(const QComboBox* combo) { return combo->currentIndex() >= 0; }

std::string ComboText(const QComboBox* combo) { return FromQt(combo->currentText()); }

void SetComboEditText(QComboBox* combo, const std::string& text) {
    const QSignalBlocker block(combo);
    const QString qtext = ToQt(text);
    if (combo->isEditable()) {
        const int index = combo->findText(qtext, Qt::MatchFixedString);
        combo->setCurrentIndex(index);
        combo->setEditText(qtext);
        return;
    }
    // A list without an edit keeps a stored value it does not offer as an
    // entry of its own, so the value is shown and stored again unchanged.
    int index = combo->findText(qtext, Qt::MatchFixedString);
    if (index < 0 && !text.empty()) {
        combo->addItem(qtext);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

bool SelectListEntry(QComboBox* combo, const std::string& text) {
    const QSignalBlocker block(combo);
    int index = combo->findText(ToQt(text), Qt::MatchFixedString);
    if (index < 0) index = combo->findText(ToQt(text), Qt::MatchStartsWith);
    combo->setCurrentIndex(index);
    return index >= 0;
}

void SetSortedEntries(QComboBox* combo, std::vector<std::string> entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    combo->clear();
    for (const std::string& e : entries) combo->addItem(ToQt(e));
}

}  // namespace dravolo
