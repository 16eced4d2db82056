#pragma once
// One page of the option sheet. The sheet initialises a page the first time
// it is shown, tells it when it becomes or stops being the current page, and
// runs its OK; the page marks itself modified on every change, which enables
// the sheet's Apply.

#include <QWidget>
#include <optional>
#include <string>

#include "frontend/core/emulator_kind.h"

namespace dravolo {

class CSheetPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Runs OnInitPage once.
    void EnsureInitialised();
    bool initialised() const { return initialised_; }

    virtual void OnSetActive() {}
    virtual void OnKillActive() {}
    virtual void OnOK() {}
    // save true: controls -> fields; false: fields -> controls (without
    // marking the page modified).
    virtual void UpdateData(bool save) { (void)save; }

    void SetModified(bool modified = true);
    bool isModified() const { return modified_; }

signals:
    void modifiedChanged(bool modified);

protected:
    virtual void OnInitPage() {}

private:
    bool initialised_ = false;
    bool modified_ = false;
};

// The memory-card page's side of the sheet: it shows the profile's two cards
// and tells the sheet when the user picked others.
class CMemcardsPageBase : public CSheetPage {
    Q_OBJECT
public:
    using CSheetPage::CSheetPage;

    // The emulator whose card folder the page starts in; none for the page
    // alone, without a profile.
    virtual void SetKind(std::optional<EmulatorKind> kind) = 0;
    // The profile whose card snapshots the page offers ("" for none).
    virtual void SetProfileName(const std::string& name) { (void)name; }
    virtual void SetLeftCardPath(const std::string& path) = 0;
    virtual void SetRightCardPath(const std::string& path) = 0;
    // Record exchange of the profile's two memory-card fields.
    virtual void ExchangeCards(std::string& card1, std::string& card2, bool toRecord) = 0;

signals:
    void leftCardPathSent(const std::string& path);
    void rightCardPathSent(const std::string& path);
};

}  // namespace dravolo
