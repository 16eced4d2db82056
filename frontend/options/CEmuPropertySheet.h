#pragma once
// The option sheet of one profile: the emulator's option page, the plugin
// page and the memory-card page, with OK, Cancel and Apply; or the
// memory-card page alone ("Memcards Tool").
//
// The owner copies the profile's record into the pages (LoadRecord), runs the
// sheet and, after OK, copies the pages back (StoreRecord) and saves the
// profile. Apply hands a record built from the pages to `applied`, which
// stores it as the main window does.

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "frontend/core/emulator_kind.h"
#include "frontend/options/sheet_kind.h"
#include "frontend/profiles/records.h"
#include "frontend/widgets/sheet_context.h"

class QDialogButtonBox;
class QTabWidget;

namespace dravolo {

class CSheetPage;
class COptionPageBase;
class COptionsPage;
class CFpseOptions;
class CPsinexOptions;
class CAdripsxOptions;
class CPcsxOptions;
class CPluginsPage;
class CMemcardsPageBase;

class CEmuPropertySheet : public QDialog {
    Q_OBJECT
public:
    // "ePSXe Options", "Fpse Options", "Psinex Options", "Adripsx Options",
    // "PCSX Options"; "Memcards Tool" for the memory-card page alone.
    static QString CaptionForKind(SheetKind kind);

    CEmuPropertySheet(SheetContext& context, const QString& caption, QWidget* parent = nullptr);
    ~CEmuPropertySheet() override;

    // Removes every page and adds the kind's: option page, plugin page,
    // memory-card page, the memory-card page alone, or none (no kind).
    void SetKind(std::optional<SheetKind> kind);
    std::optional<SheetKind> kind() const { return kind_; }
    // The profile the plugin page keeps side files for ("" for none).
    void SetProfileName(const std::string& name);

    // Record -> pages (before the sheet is shown) and pages -> record (after
    // OK). The record must be of the sheet's kind.
    void LoadRecord(AnyProfileRecord& record);
    void StoreRecord(AnyProfileRecord& record);

    // Called by Apply with a record of the kind filled from the option page
    // and the plugin page.
    void SetApplyHandler(std::function<void(AnyProfileRecord&)> applied) { applied_ = std::move(applied); }

    // The sheet's own buttons, for keyboard use and tests.
    void Apply();
    void accept() override;

    QTabWidget* tabs() const { return tabs_; }
    QDialogButtonBox* buttons() const { return buttons_; }
    COptionPageBase* optionPage() const;
    CPluginsPage* pluginsPage() const { return pluginsPage_; }
    CMemcardsPageBase* memcardsPage() const { return memcardsPage_; }
    // The last memory-card paths passed through the sheet.
    const std::string& cardPath(int card) const { return cardPaths_[static_cast<std::size_t>(card)]; }

    COptionsPage* epsxePage() const { return epsxePage_; }
    CFpseOptions* fpsePage() const { return fpsePage_; }
    CPsinexOptions* psinexPage() const { return psinexPage_; }
    CAdripsxOptions* adripsxPage() const { return adripsxPage_; }
    CPcsxOptions* pcsxPage() const { return pcsxPage_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddPage(CSheetPage* page, const QIcon& icon);
    void ClearPages();
    void OnCurrentChanged(int index);
    void UpdateApplyButton();
    CSheetPage* PageAt(int index) const;
    // The emulator whose pages the sheet shows; none for the memory-card page alone.
    std::optional<EmulatorKind> emulator() const;
    // The four path messages.
    void OnMemcardsPath(int card, const std::string& path);
    void OnOptionPath(int card, const std::string& path);

    SheetContext& context_;
    std::array<std::string, 2> cardPaths_;
    COptionsPage* epsxePage_ = nullptr;
    CPluginsPage* pluginsPage_ = nullptr;
    CMemcardsPageBase* memcardsPage_ = nullptr;
    CFpseOptions* fpsePage_ = nullptr;
    CPsinexOptions* psinexPage_ = nullptr;
    CPcsxOptions* pcsxPage_ = nullptr;
    CAdripsxOptions* adripsxPage_ = nullptr;
    std::optional<SheetKind> kind_;
    std::string profileName_;
    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    int currentIndex_ = -1;
    std::function<void(AnyProfileRecord&)> applied_;
};

}  // namespace dravolo
