#pragma once
// What the five emulator option pages share: the record fields they edit and
// their binding to the controls, the modified mark on every change, the two
// memory-card paths they keep in step with the memory-card page, and the
// builders of the groups every page has (memory cards, BIOS, pads).
//
// A page is built in its constructor in one order: create the controls and
// the layout, bind the fields, connect the change handlers. Loading the
// fields into the controls blocks their signals, so it never marks the page.

#include <QSignalBlocker>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/base/text.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/options/pad_plugins.h"
#include "frontend/widgets/CSheetPage.h"
#include "frontend/widgets/sheet_context.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QBoxLayout;

namespace dravolo {

// Control access with ANSI texts, signals blocked on writes.
bool IsChecked(const QCheckBox* box);
bool IsChecked(const QRadioButton* button);
void SetChecked(QCheckBox* box, bool checked);
void SetRadios(QRadioButton* first, QRadioButton* second, long long value);
std::string EditText(const QLineEdit* edit);
void SetEditText(QLineEdit* edit, const std::string& text);
bool HasSelection(const QComboBox* combo);
std::string ComboText(const QComboBox* combo);
void SetComboEditText(QComboBox* combo, const std::string& text);
// Selects the entry equal to text (ignoring case), else the first one
// starting with it; none when nothing fits. Returns whether one was.
bool SelectListEntry(QComboBox* combo, const std::string& text);
// Replaces the entries, sorted as a sorted Windows list sorts them.
void SetSortedEntries(QComboBox* combo, std::vector<std::string> entries);

class COptionPageBase : public CSheetPage {
    Q_OBJECT
public:
    COptionPageBase(SheetContext& context, QWidget* parent);

    // The sheet's path messages: card 0 or 1.
    virtual std::string MemcardPath(int card) const = 0;
    // From the memory-card page: the field and its edit take the path.
    virtual void SetMemcardPath(int card, const std::string& path) = 0;

    void OnSetActive() override;
    void OnKillActive() override;
    void OnOK() override;

    // The profile being edited: its side files (".pad", FPSE's ".ini").
    void SetProfileName(const std::string& name) { profileName_ = name; }
    const std::string& profileName() const { return profileName_; }

    bool activated() const { return activated_; }
    const std::string& installPath() const { return installPath_; }

    QLineEdit* memcardEdit(int card) const { return memcardEdits_[static_cast<std::size_t>(card)]; }
    QPushButton* memcardBrowse(int card) const { return memcardBrowse_[static_cast<std::size_t>(card)]; }
    QComboBox* biosCombo() const { return biosCombo_; }
    QPushButton* biosBrowse() const { return biosBrowse_; }

signals:
    void memcardPathSent(int card, const std::string& path);

protected:
    // Sends both memory-card paths to the sheet.
    void SendBothPaths();
    // Every change: read the controls, mark the page.
    void OnControlChanged();
    // Reads the kind's install folder from the settings.
    void ReadInstallPath(EmulatorKind kind);

    // Group builders. Controls they make are connected to OnControlChanged.
    QCheckBox* AddCheck(QBoxLayout* layout, const char* text);
    QGroupBox* MakeGroup(const char* title);
    // "MemCards": "MemCard 1:"/"MemCard 2:" edits, each with "Browse".
    QGroupBox* MakeMemcardsGroup(std::string_view filter1, std::string_view filter2);
    // "BIOS": a sorted drop-down (editable unless listOnly) and, unless
    // listOnly, "Browse".
    QGroupBox* MakeBiosGroup(bool lowerCase, bool listOnly = false);
    // Fills the BIOS list from installPath + "bios\\" (plus extra entries).
    void FillBiosList(const std::vector<std::string>& extraEntries = {});
    // A pad group: sorted drop-down list + "Config".
    QGroupBox* MakePadGroup(const char* title, QComboBox*& combo, QPushButton*& config);
    // Fills a pad drop-down with the entries of pads_.
    void FillPadList(QComboBox* combo);
    void ShowPad(QComboBox* combo, const std::string& fileName);
    // The plugin of the combo's selected entry; nullptr with none.
    const PadPlugin* SelectedPad(const QComboBox* combo) const;
    // The pad field for the combo's selection; unchanged without one.
    void ReadPad(QComboBox* combo, std::string& fileName) const;

    // The chosen host file as a Windows path, with the default extension. The
    // chooser opens at `initial`, or in the emulator's folder (BrowseStartPath).
    std::optional<std::string> ChooseFile(std::string_view filter, std::string_view extension,
                                          const std::string& initial);
    virtual void OnBiosBrowse();
    virtual void OnMemcardBrowse(int card);
    // "Config" of a PSEmu Pro pad list: the selection becomes the pad field,
    // then the plugin's dialog runs between the ".pad" import and export.
    void ConfigurePsemuPadOf(EmulatorKind kind, QComboBox* combo, std::string& field);
    const std::vector<PadPlugin>& pads() const { return pads_; }

    SheetContext& context_;
    std::string installPath_;
    std::string profileName_;
    bool activated_ = false;
    bool lowerCaseBios_ = false;
    std::array<QLineEdit*, 2> memcardEdits_{};
    std::array<QPushButton*, 2> memcardBrowse_{};
    std::array<QLabel*, 2> memcardLabels_{};
    std::array<std::string, 2> memcardFilters_;
    QComboBox* biosCombo_ = nullptr;
    QPushButton* biosBrowse_ = nullptr;
    std::vector<PadPlugin> pads_;
};

// The binding of one record type's fields to the page's controls.
template <typename Record>
class COptionPageT : public COptionPageBase {
public:
    COptionPageT(SheetContext& context, QWidget* parent, std::string Record::*card1, std::string Record::*card2)
        : COptionPageBase(context, parent), fields_(context.settings), cards_{card1, card2} {}

    // direction toRecord copies page -> record (reading the controls first
    // when update is set); otherwise record -> page (then writing the
    // controls when update is set).
    void Exchange(Record& record, bool toRecord, bool update) {
        if (toRecord) {
            if (update) UpdateData(true);
            for (const auto& copy : copies_) copy(fields_, record);
        } else {
            for (const auto& copy : copies_) copy(record, fields_);
            if (update) UpdateData(false);
        }
    }

    void UpdateData(bool save) override {
        for (const auto& binding : bindings_) binding(save);
    }

    std::string MemcardPath(int card) const override { return fields_.*cards_[static_cast<std::size_t>(card)]; }
    void SetMemcardPath(int card, const std::string& path) override {
        fields_.*cards_[static_cast<std::size_t>(card)] = path;
        if (QLineEdit* edit = memcardEdit(card)) SetEditText(edit, path);
    }

    const Record& fields() const { return fields_; }

protected:
    // A field the page carries without a control.
    template <typename T>
    void Carry(T Record::*field) {
        copies_.push_back([field](const Record& from, Record& to) { to.*field = from.*field; });
    }
    void BindCheck(QCheckBox* box, std::uint8_t Record::*field) {
        Carry(field);
        bindings_.push_back([this, box, field](bool save) {
            if (save) fields_.*field = IsChecked(box) ? 1 : 0;
            else SetChecked(box, fields_.*field != 0);
        });
    }
    // First button 0, second 1. A stored value of neither shows no button
    // and is kept.
    template <typename T>
    void BindRadio(QRadioButton* first, QRadioButton* second, T Record::*field) {
        Carry(field);
        bindings_.push_back([this, first, second, field](bool save) {
            if (save) {
                if (IsChecked(first)) fields_.*field = 0;
                else if (IsChecked(second)) fields_.*field = 1;
            } else {
                SetRadios(first, second, static_cast<long long>(fields_.*field));
            }
        });
    }
    void BindEdit(QLineEdit* edit, std::string Record::*field) {
        Carry(field);
        bindings_.push_back([this, edit, field](bool save) {
            if (save) fields_.*field = EditText(edit);
            else SetEditText(edit, fields_.*field);
        });
    }
    // A drop-down list: the entry equal to (else starting with) the field is
    // selected. With no entry selected the field keeps its value.
    void BindList(QComboBox* combo, std::string Record::*field) {
        Carry(field);
        bindings_.push_back([this, combo, field](bool save) {
            if (save) {
                if (HasSelection(combo)) fields_.*field = ComboText(combo);
            } else {
                SelectListEntry(combo, fields_.*field);
            }
        });
    }
    // The BIOS drop-down with its edit (lower case where the page says so).
    void BindBios(std::string Record::*field) {
        Carry(field);
        bindings_.push_back([this, field](bool save) {
            if (save) fields_.*field = ComboText(biosCombo_);
            else SetComboEditText(biosCombo_, lowerCaseBios_ ? LowerAnsi(fields_.*field) : fields_.*field);
        });
    }
    void BindPad(QComboBox* combo, std::string Record::*field) {
        Carry(field);
        bindings_.push_back([this, combo, field](bool save) {
            if (save) ReadPad(combo, fields_.*field);
            else ShowPad(combo, fields_.*field);
        });
    }
    void BindCustom(std::function<void(bool save)> binding) { bindings_.push_back(std::move(binding)); }

    Record fields_;

private:
    std::array<std::string Record::*, 2> cards_;
    std::vector<std::function<void(const Record&, Record&)>> copies_;
    std::vector<std::function<void(bool)>> bindings_;
};

}  // namespace dravolo
