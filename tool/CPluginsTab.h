#pragma once
// The "Plugins" tab: the plugin list with its three columns and the buttons
// "Activate", "Configure", "Test", "About". The rows, marks and plugin calls
// are PluginPageLogic's; this widget shows them and passes the clicks on.

#include <QWidget>
#include <array>
#include <optional>

#include "tool/core/plugin_page_logic.h"

class QMenu;
class QPushButton;
class QTreeWidget;

namespace dravolo::tool {

class CToolSkin;

class CPluginsTab : public QWidget {
    Q_OBJECT
public:
    CPluginsTab(PluginPageLogic& logic, const CToolSkin& skin, QWidget* parent = nullptr);

    // The columns "Plugins", "DLL", "Date" with their stored widths.
    void SetColumnWidths(const std::array<std::uint32_t, 3>& widths);
    std::array<std::uint32_t, 3> ColumnWidths() const;

    // Shows the logic's rows again, keeping the selected row.
    void Refill();
    std::optional<int> SelectedRow() const;
    void SelectRow(int row);

    QTreeWidget* list() const { return list_; }
    QPushButton* activateButton() const { return activate_; }
    QPushButton* configureButton() const { return configure_; }
    QPushButton* testButton() const { return test_; }
    QPushButton* aboutButton() const { return about_; }
    // The right-click menu: "Activate", "Configure", "Test", "About".
    QMenu* contextMenu() const { return menu_; }

    void OnActivate();
    void OnConfigure();
    void OnTest();
    void OnAbout();
    void OnColumnClick(int column);
    void OnDoubleClick();

signals:
    // After a plugin's own dialog or message: the window is painted again.
    void repaintWanted();

private:
    // Screen pixels per stored width unit.
    double WidthScale() const;
    QIcon RowIcon(int mark, int group) const;
    void ShowMenu(const QPoint& listPos);

    PluginPageLogic& logic_;
    const CToolSkin& skin_;
    QTreeWidget* list_;
    QPushButton* activate_;
    QPushButton* configure_;
    QPushButton* test_;
    QPushButton* about_;
    QMenu* menu_;
};

}  // namespace dravolo::tool
