#pragma once
// The profile list: the current emulator's profiles with their pictures, in
// large icons, small icons or details, over an optional background picture,
// under a field that narrows the list by name and description. It owns the
// current emulator, the selection and the profile commands New, Edit and
// Delete; the frame enables its commands from selectionPresent and
// selectionLost, which follow the selection the list really has.

#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "frontend/core/emulator_kind.h"
#include "frontend/profiles/records.h"
#include "frontend/shell/shell_context.h"

class QAbstractItemModel;
class QLineEdit;
class QStackedWidget;
class QTimer;
class QItemSelectionModel;
class QAbstractItemView;

namespace dravolo {

class ProfileListModel;
class ProfileIconView;
class ProfileDetailsView;
template <typename Base>
class ProfileViewFace;

class CDravolo7View : public QWidget {
    Q_OBJECT
public:
    enum class DisplayMode { LargeIcons, Details, SmallIcons };
    static constexpr int kFirstPictureIndex = 5;
    // Pictures read before the list first shows: more than a screen holds.
    // The rest follow from the event loop, in the same order, so every
    // picture gets the image index it would have had read all at once.
    static constexpr int kPicturesBeforeShowing = 128;
    static constexpr int kPicturesPerStep = 64;

    CDravolo7View(ShellContext& context, QWidget* parent = nullptr);
    ~CDravolo7View() override;

    // Reads the settings, fills the list, applies mode and background.
    void OnInitialUpdate();
    // Writes CurrentView, UseBitmap, CurrentEmulator and NukeConsole.
    void SaveState();

    // None while the stored CurrentEmulator names no emulator: nothing is listed.
    std::optional<EmulatorKind> currentEmulator() const { return currentEmulator_; }
    int selectedIndex() const { return selectedIndex_; }
    DisplayMode displayMode() const { return mode_; }
    bool useBackground() const { return useBackground_; }
    bool tileBackground() const { return tileBackground_; }
    bool hideConsoles() const { return hideConsoles_; }
    std::uint32_t textColor() const { return textColor_; }
    bool dialogOpen() const { return dialogOpen_; }
    const std::string& currentProfilePath() const { return currentProfilePath_; }
    bool hasBackgroundPicture() const { return !background_.isNull(); }

    // Rows as the list shows them: filtered and sorted.
    int itemCount() const;
    std::string itemName(int row) const;  // ANSI
    QString itemDescription(int row) const;
    int imageIndex(int row) const;
    int nextImageIndex() const { return nextImageIndex_; }
    int imageCount() const { return static_cast<int>(largeImages_.size()); }
    std::vector<int> selectedRows() const;
    QAbstractItemView* activeItemView() const;
    QAbstractItemModel* model() const;
    QLineEdit* filterEdit() const { return filterEdit_; }
    // Actions whose keys work while the list has the focus (Delete, Enter).
    void AddListAction(QAction* action);
    // How often the list was filled (a refill counts; a deletion does not).
    int fillCount() const { return fillCount_; }

    // Commands and messages from the frame and the dialogs.
    void SwitchEmulator(EmulatorKind kind);
    void SetDisplayMode(DisplayMode mode);
    void ToggleBackground();                    // "&Use Background Bitmap"
    void ReapplyBackground(bool tile);          // from the Settings dialog
    void SetTextColor(std::uint32_t colorRef);  // from the Settings dialog
    void ToggleHideConsoles();                  // writes NukeConsole at once
    void SetCurrentProfilePath(const std::string& path) { currentProfilePath_ = path; }
    void StoreEditedProfile(AnyProfileRecord record);
    // Reads the folder again; the profiles selected before stay selected.
    void Refill();
    // Shows the profiles whose name or description holds the text.
    void SetFilter(const QString& text);
    // Reads the pictures still waiting (tests, and before rows change).
    void FinishPictureLoading();
    bool picturesPending() const { return nextPictureRow_ < pendingPictures_.size(); }

    void NewProfile();
    void EditProfile();
    void DeleteProfile();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void selectionPresent();
    void selectionLost();
    void contextMenuWanted(const QPoint& globalPos);
    void launchWanted();
    // "Configure Game Options" asks for the option sheet of this profile.
    void optionSheetWanted(const std::string& path, const QString& caption);
    void displayModeChanged();
    void backgroundChanged();

private:
    template <typename Base>
    friend class ProfileViewFace;

    void FillList(const std::vector<std::string>& names, const std::vector<std::string>& descriptions,
                  const std::vector<std::string>& pictures);
    void EnumerateAndFill();
    // Refills and selects the profiles of these names that are still there.
    void RefillSelecting(const std::vector<std::string>& names);
    std::vector<std::string> SelectedNames() const;
    void RestoreDetailsLayout();
    void LoadPictures(std::size_t count);
    void ApplyBackground();
    void RemoveBackground();
    void ApplyPalette();
    void NotifySelection();
    void OnViewClicked(QAbstractItemView* view, const QPoint& pos, Qt::MouseButton button);
    void OnContextMenu(QAbstractItemView* view, const QPoint& pos, const QPoint& globalPos);
    bool OnFilterKey(int key);
    void PaintBackground(QWidget* viewport);

    ShellContext& context_;
    ProfileListModel* model_;
    QItemSelectionModel* selection_;
    QLineEdit* filterEdit_;
    QStackedWidget* stack_;
    ProfileIconView* iconView_;
    ProfileDetailsView* detailsView_;

    std::optional<EmulatorKind> currentEmulator_ = EmulatorKind::Epsxe;
    int selectedIndex_ = -1;
    DisplayMode mode_ = DisplayMode::LargeIcons;
    bool useBackground_ = false;
    bool tileBackground_ = false;
    bool hideConsoles_ = true;
    bool dialogOpen_ = false;
    std::uint32_t textColor_ = 0;
    std::string currentProfilePath_;
    QPixmap background_;
    std::vector<QPixmap> largeImages_, smallImages_;
    int nextImageIndex_ = kFirstPictureIndex;
    int fillCount_ = 0;
    std::vector<std::string> pendingPictures_;  // picture path per row
    std::size_t nextPictureRow_ = 0;
    QTimer* pictureTimer_;
};

}  // namespace dravolo
