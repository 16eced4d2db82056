#pragma once
// The "Plugin Manager" page: the GPU, SPU and CD-ROM plugins of the
// emulator in three lists; a click chooses the profile's plugin of that
// type, "Configure", "Test" and "About" (also on a right-click and, for
// Configure, a double-click) work on the chosen one.

#include <array>
#include <memory>
#include <string>

#include "frontend/plugins/plugins_page_logic.h"
#include "frontend/widgets/CSheetPage.h"
#include "frontend/widgets/sheet_context.h"

class QMenu;
class QPushButton;
class QTreeWidget;

namespace dravolo {

class CPluginsPage : public CSheetPage {
    Q_OBJECT
public:
    CPluginsPage(SheetContext& context, QWidget* parent = nullptr);
    ~CPluginsPage() override;

    void SetInstallPath(std::string path) { logic_.SetInstallPath(std::move(path)); }
    void SetKind(EmulatorKind kind) { logic_.SetKind(kind); }
    void SetPcsxrPluginsDir(std::string dir) { logic_.SetPcsxrPluginsDir(std::move(dir)); }
    void SetProfileName(std::string name) { logic_.SetProfileName(std::move(name)); }

    // The three plugin fields of the record; the lists hold nothing else the
    // record keeps, so there are no controls to read or write.
    template <typename Record>
    void Exchange(Record& record, bool toRecord) {
        logic_.Exchange(record, toRecord);
    }

    void OnOK() override;
    // Apply: the chosen rows become the current files, as at OK.
    void CommitChoices() { logic_.Ok(); }

    PluginsPageLogic& logic() { return logic_; }
    QTreeWidget* list(PluginType type) const { return lists_[static_cast<std::size_t>(TypeIndex(type))]; }
    QPushButton* configureButton() const { return configure_; }
    QPushButton* testButton() const { return test_; }
    QPushButton* aboutButton() const { return about_; }
    // The popup a right-click on a row opens (built on first use).
    QMenu* contextMenu();

    // The list handlers, as the mouse reaches them.
    void OnListClick(PluginType type, int row);
    void OnListDoubleClick(PluginType type, int row);
    // True when the popup would open.
    bool OnListRightClick(PluginType type, int row, const QPoint& globalPos, bool showMenu = true);
    void OnConfigure();
    void OnTest();
    void OnAbout();

protected:
    void OnInitPage() override;

private:
    void FillList(PluginType type);
    void ShowChosenRows();

    SheetContext& context_;
    PluginsPageLogic logic_;
    std::array<QTreeWidget*, 3> lists_{};
    QPushButton* configure_;
    QPushButton* test_;
    QPushButton* about_;
    QPushButton* activate_;
    QMenu* menu_ = nullptr;
};

}  // namespace dravolo
