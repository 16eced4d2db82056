#pragma once
// The "ISO Tool" dialog: copies a CD, one of its tracks or a range of its
// sectors into a raw ".bin" image (or only reads the disc) on a worker thread.
// The main window's "ISO Extractor" command opens it modally:
//
//   CIsoToolDlg dlg(this, settings, prompter);
//   dlg.exec();
//
// Closing it while a worker runs asks whether to cancel; on Yes the worker is
// cancelled (its partial image deleted) and the dialog closes once it ended.

#include <QDialog>
#include <memory>

#include "common/base/prompter.h"
#include "frontend/cdimage/cd_access.h"
#include "frontend/cdimage/extraction.h"
#include "frontend/cdimage/extraction_thread.h"
#include "frontend/cdimage/iso_tool_logic.h"
#include "frontend/core/settings_store.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dravolo {

class CProgressBar;
class WorkerBridge;

class CIsoToolDlg : public QDialog {
    Q_OBJECT
public:
    // access: the CD access object to use (the program's own by default).
    CIsoToolDlg(QWidget* parent, SettingsStore& settings, Prompter& prompter, CdAccess& access = TheCdAccess());
    ~CIsoToolDlg() override;

    bool WorkerRunning() const;
    // Controls, for tests and for the main window's keyboard shortcuts.
    QComboBox* driveList() const { return drives_; }
    QLineEdit* fileEdit() const { return fileName_; }
    QPushButton* browseButton() const { return browse_; }
    QTreeWidget* trackList() const { return tracks_; }
    QLabel* information() const { return info_; }
    QLineEdit* trackEdit() const { return trackNumber_; }
    QLineEdit* fromEdit() const { return from_; }
    QLineEdit* toEdit() const { return to_; }
    QRadioButton* modeButton(ExtractMode mode) const;
    QComboBox* priorityList() const { return priority_; }
    QComboBox* speedList() const { return speed_; }
    QComboBox* interfaceList() const { return interface_; }
    QCheckBox* cueCheck() const { return writeCue_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* exitButton() const { return exit_; }
    QPushButton* cancelButton() const { return cancel_; }
    CProgressBar* progressBar() const { return progress_; }
    const ExtractionJob& job() const { return *job_; }

public slots:
    void OnStart();
    void OnCancelExtraction();
    void OnBrowse();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Clicks in the track list, on a row or on the empty space below.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    friend class WorkerBridge;
    void BuildControls();
    void InitDialog();
    bool ChooseInterface();
    void FillDrives();
    void ReadDisc();
    // Fills the track list and the information text from the TOC in force.
    void ShowDisc(std::uint32_t sectors);
    void UpdateModeControls();
    void SetIdleControlsEnabled(bool enabled);
    void OnTrackClicked();
    void OnTrackDoubleClicked();
    void OnSpeedChanged(int index);
    void OnInterfaceChanged();
    void OnExtractionEnd();
    bool AskToCancelForClose();
    ExtractMode CurrentMode() const;
    const CdDrive* SelectedDrive() const;

    SettingsStore& settings_;
    Prompter& prompter_;
    CdAccess& access_;
    std::shared_ptr<ExtractionJob> job_;
    std::shared_ptr<WorkerBridge> bridge_;
    ExtractionThread worker_;
    bool initialised_ = false;
    bool closeWhenDone_ = false;

    QComboBox* drives_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    QPushButton* browse_ = nullptr;
    QTreeWidget* tracks_ = nullptr;
    QLabel* info_ = nullptr;
    QPushButton* cancel_ = nullptr;
    CProgressBar* progress_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* exit_ = nullptr;
    QButtonGroup* modes_ = nullptr;
    QLineEdit* trackNumber_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLabel* fromLabel_ = nullptr;
    QLabel* toLabel_ = nullptr;
    QComboBox* priority_ = nullptr;
    QComboBox* speed_ = nullptr;
    QComboBox* interface_ = nullptr;
    QCheckBox* writeCue_ = nullptr;
};

}  // namespace dravolo
