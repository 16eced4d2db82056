#include "frontend/cdimage/iso_tool_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <condition_variable>
#include <mutex>

#include "common/platform/windows_family.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/cdimage/cue_sheet.h"
#include "frontend/cdimage/iso_tool_logic.h"
#include "frontend/cdimage/progress_bar.h"
#include "frontend/widgets/host_path_qt.h"

namespace dravolo {

namespace {

constexpr std::string_view kCaption = "ISO Tool";
constexpr IntSetting kWriteCueSetting{"WriteCueSheet", 1};

// The small pictures of the track modes: a disc for data (green Mode 1,
// blue Mode 2) and a note for audio.
QIcon TrackIcon(std::uint8_t mode) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (mode == kTrackAudio) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xB0, 0x30, 0x30));
        p.drawEllipse(QRectF(2, 10, 6, 5));
        p.drawEllipse(QRectF(9, 8, 6, 5));
        p.fillRect(QRectF(6.5, 2, 1.5, 10), QColor(0xB0, 0x30, 0x30));
        p.fillRect(QRectF(13.5, 1, 1.5, 9), QColor(0xB0, 0x30, 0x30));
        p.fillRect(QRectF(6.5, 1, 8.5, 2.5), QColor(0xB0, 0x30, 0x30));
    } else {
        const QColor colour = mode == kTrackMode1 ? QColor(0x2E, 0x8B, 0x3A) : QColor(0x2A, 0x5C, 0xB8);
        p.setPen(QPen(colour.darker(140), 1));
        p.setBrush(colour);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(6, 6, 4, 4));
    }
    return QIcon(pixmap);
}

}  // namespace

// The worker's way into the dialog. It outlives the dialog when need be: once
// detached, questions get their default answer (No) and progress goes nowhere.
// Questions are asked on the dialog's thread while the worker waits.
class WorkerBridge : public ExtractionObserver, public Prompter {
public:
    explicit WorkerBridge(CIsoToolDlg* dialog) : dialog_(dialog) {}

    void Detach() {
        std::lock_guard lock(mutex_);
        dialog_ = nullptr;
        answered_.notify_all();
    }

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override {
        std::unique_lock lock(mutex_);
        if (!dialog_) return defaultAnswer;
        const std::uint64_t ticket = ++asked_;
        auto answer = std::make_shared<std::optional<PromptAnswer>>();
        QMetaObject::invokeMethod(
            dialog_,
            [this, answer, text = std::string(text), caption = std::string(caption), icon, buttons, defaultAnswer] {
                CIsoToolDlg* dialog;
                {
                    std::lock_guard inner(mutex_);
                    dialog = dialog_;
                }
                const PromptAnswer a =
                    dialog ? dialog->prompter_.Ask(text, caption, icon, buttons, defaultAnswer) : defaultAnswer;
                std::lock_guard inner(mutex_);
                *answer = a;
                answered_.notify_all();
            },
            Qt::QueuedConnection);
        (void)ticket;
        answered_.wait(lock, [&] { return answer->has_value() || !dialog_; });
        return answer->has_value() ? **answer : defaultAnswer;
    }

    void SetProgressRange(int minimum, int maximum, int step) override {
        Post([minimum, maximum, step](CIsoToolDlg& d) {
            d.progress_->SetRange(minimum, maximum);
            d.progress_->SetStep(step);
            d.progress_->SetPos(minimum);
        });
    }
    void StepProgress() override {
        Post([](CIsoToolDlg& d) { d.progress_->StepIt(); });
    }
    void SetProgressPos(int position) override {
        Post([position](CIsoToolDlg& d) { d.progress_->SetPos(position); });
    }
    void Finished() override {
        Post([](CIsoToolDlg& d) { d.OnExtractionEnd(); });
    }

private:
    template <typename F>
    void Post(F work) {
        std::lock_guard lock(mutex_);
        if (!dialog_) return;
        // Queued on the dialog: dropped by Qt if the dialog is gone by then.
        QPointer<CIsoToolDlg> target(dialog_);
        QMetaObject::invokeMethod(
            dialog_,
            [target, work] {
                if (target) work(*target);
            },
            Qt::QueuedConnection);
    }

    std::mutex mutex_;
    std::condition_variable answered_;
    CIsoToolDlg* dialog_;
    std::uint64_t asked_ = 0;
};

CIsoToolDlg::CIsoToolDlg(QWidget* parent, SettingsStore& settings, Prompter& prompter, CdAccess& access)
    : QDialog(parent),
      settings_(settings),
      prompter_(prompter),
      access_(access),
      job_(std::make_shared<ExtractionJob>()),
      bridge_(std::make_shared<WorkerBridge>(this)) {
    setWindowTitle("ISO Tool");
    BuildControls();
    InitDialog();
}

CIsoToolDlg::~CIsoToolDlg() {
    // A worker still running is cancelled without another question, and the
    // dialog waits for it: it never touches a dialog that is gone. The cancel
    // comes first, so that a worker woken from a question by the detach sees
    // it and deletes its partial image as any cancel does.
    job_->cancelConfirmed = true;
    job_->cancel = true;
    bridge_->Detach();
    worker_.Join();
}

void CIsoToolDlg::BuildControls() {
    auto* top = new QVBoxLayout(this);

    auto* readerRow = new QHBoxLayout;
    readerRow->addWidget(new QLabel("CD Reader", this));
    drives_ = new QComboBox(this);
    drives_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    readerRow->addWidget(drives_, 1);
    top->addLayout(readerRow);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel("Image Filename", this));
    fileName_ = new QLineEdit(this);
    fileRow->addWidget(fileName_, 1);
    browse_ = new QPushButton("Browse", this);
    browse_->setAutoDefault(false);
    fileRow->addWidget(browse_);
    top->addLayout(fileRow);

    auto* listRow = new QHBoxLayout;
    tracks_ = new QTreeWidget(this);
    tracks_->setRootIsDecorated(false);
    tracks_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tracks_->setSelectionMode(QAbstractItemView::SingleSelection);
    tracks_->setHeaderLabels({"Track No", "Mode", "Sector Start"});
    tracks_->setColumnWidth(0, 60);
    tracks_->setColumnWidth(1, 100);
    tracks_->setColumnWidth(2, 73);
    tracks_->header()->setDefaultAlignment(Qt::AlignCenter);
    tracks_->header()->setStretchLastSection(false);
    tracks_->setContextMenuPolicy(Qt::CustomContextMenu);
    tracks_->setMinimumWidth(240);
    tracks_->setMinimumHeight(120);
    listRow->addWidget(tracks_, 1);
    info_ = new QLabel(this);
    info_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    info_->setFrameShape(QFrame::StyledPanel);
    info_->setMinimumWidth(130);
    listRow->addWidget(info_);
    top->addLayout(listRow);

    auto* progressRow = new QHBoxLayout;
    cancel_ = new QPushButton("Cancel Extraction", this);
    cancel_->setAutoDefault(false);
    progressRow->addWidget(cancel_);
    progress_ = new CProgressBar(this);
    progressRow->addWidget(progress_, 1);
    top->addLayout(progressRow);

    auto* lower = new QHBoxLayout;
    auto* options = new QGroupBox("Options ", this);
    auto* grid = new QGridLayout(options);
    modes_ = new QButtonGroup(this);
    const char* modeTexts[] = {"Create Binary Image", "Select Track Number", "Select Sector", "Do A Disk Read Only"};
    for (int i = 0; i < 4; ++i) modes_->addButton(new QRadioButton(modeTexts[i], options), i);
    auto* numbers = new QIntValidator(this);
    trackNumber_ = new QLineEdit(options);
    from_ = new QLineEdit(options);
    to_ = new QLineEdit(options);
    for (QLineEdit* e : {trackNumber_, from_, to_}) {
        e->setValidator(numbers);
        e->setMaximumWidth(70);
    }
    fromLabel_ = new QLabel("From:", options);
    toLabel_ = new QLabel("To:", options);
    grid->addWidget(modes_->button(0), 0, 0, 1, 4);
    grid->addWidget(modes_->button(1), 1, 0);
    grid->addWidget(trackNumber_, 1, 1);
    grid->addWidget(modes_->button(2), 2, 0, 1, 4);
    auto* range = new QHBoxLayout;
    range->addSpacing(18);
    range->addWidget(fromLabel_);
    range->addWidget(from_);
    range->addWidget(toLabel_);
    range->addWidget(to_);
    range->addStretch(1);
    grid->addLayout(range, 3, 0, 1, 4);
    grid->addWidget(modes_->button(3), 4, 0, 1, 4);
    lower->addWidget(options, 1);

    auto* side = new QGridLayout;
    side->addWidget(new QLabel("Thread Priority:", this), 0, 0);
    priority_ = new QComboBox(this);
    for (const auto& p : PriorityChoices()) priority_->addItem(ToQt(p));
    side->addWidget(priority_, 0, 1);
    side->addWidget(new QLabel("Speed:", this), 1, 0);
    speed_ = new QComboBox(this);
    for (const auto& s : SpeedChoices()) speed_->addItem(ToQt(s));
    side->addWidget(speed_, 1, 1);
    side->addWidget(new QLabel("Interface:", this), 2, 0);
    interface_ = new QComboBox(this);
    side->addWidget(interface_, 2, 1);
    writeCue_ = new QCheckBox("Write cue sheet", this);
    side->addWidget(writeCue_, 3, 0, 1, 2);
    side->setRowStretch(4, 1);
    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton("Start", this);
    start_->setDefault(true);
    exit_ = new QPushButton("Exit", this);
    exit_->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(start_);
    buttons->addWidget(exit_);
    side->addLayout(buttons, 5, 0, 1, 2);
    lower->addLayout(side);
    top->addLayout(lower);

    connect(drives_, &QComboBox::activated, this, [this] { ReadDisc(); });
    connect(browse_, &QPushButton::clicked, this, &CIsoToolDlg::OnBrowse);
    // A click anywhere in the list counts, not only one on a row.
    tracks_->viewport()->installEventFilter(this);
    connect(tracks_, &QTreeWidget::customContextMenuRequested, this, [this] { OnTrackClicked(); });
    connect(tracks_, &QTreeWidget::itemDoubleClicked, this, [this] { OnTrackDoubleClicked(); });
    connect(cancel_, &QPushButton::clicked, this, &CIsoToolDlg::OnCancelExtraction);
    connect(start_, &QPushButton::clicked, this, &CIsoToolDlg::OnStart);
    connect(exit_, &QPushButton::clicked, this, &CIsoToolDlg::reject);
    connect(modes_, &QButtonGroup::idClicked, this, [this] { UpdateModeControls(); });
    connect(speed_, &QComboBox::currentIndexChanged, this, &CIsoToolDlg::OnSpeedChanged);
    connect(interface_, &QComboBox::activated, this, [this] { OnInterfaceChanged(); });
    connect(writeCue_, &QCheckBox::toggled, this, [this](bool on) { settings_.Set(kWriteCueSetting, on ? 1 : 0); });
}

void CIsoToolDlg::InitDialog() {
    // Field values: mode "Create Binary Image", priority "Normal", interface "Auto", numbers 0.
    modes_->button(0)->setChecked(true);
    priority_->setCurrentIndex(2);
    trackNumber_->setText("0");
    from_->setText("0");
    to_->setText("0");
    {
        const QSignalBlocker block(writeCue_);
        writeCue_->setChecked(settings_.Get(kWriteCueSetting) != 0);
    }
    for (const auto& entry : InterfaceChoices(CurrentWindowsFamily())) interface_->addItem(ToQt(entry));
    interface_->setCurrentIndex(0);

    ChooseInterface();
    if (access_.CurrentInitialised() && access_.Drives().empty())
        prompter_.Tell("Unable to Find Cdrom Drives on this computer\n", kCaption, PromptIcon::Stop);
    FillDrives();
    SetIdleControlsEnabled(true);
    ReadDisc();
    UpdateModeControls();
    {
        const QSignalBlocker block(speed_);
        speed_->setCurrentIndex(0);
    }
    if (access_.CurrentInitialised()) job_->speedIndex = SpeedIndexForChoice(0);
    initialised_ = true;
}

bool CIsoToolDlg::ChooseInterface() {
    access_.SetInterfaceMode(InterfaceModeForChoice(FromQt(interface_->currentText())));
    const ScsiInterface which = access_.CurrentInterface();
    if (access_.IsInitialised(which)) return true;
    if (access_.Init(which, &prompter_)) return true;
    prompter_.Tell(InterfaceInitFailure(which), "Iso Tool Error", PromptIcon::Stop);
    return false;
}

void CIsoToolDlg::OnInterfaceChanged() {
    if (WorkerRunning()) return;
    if (!ChooseInterface()) {
        if (initialised_) reject();
        return;
    }
    // The drives differ between the interfaces (their adapter numbers too).
    FillDrives();
    ReadDisc();
}

void CIsoToolDlg::FillDrives() {
    drives_->clear();
    if (!access_.CurrentInitialised()) return;
    for (const CdDrive& d : access_.Drives()) drives_->addItem(ToQt(DriveListEntry(d)));
    if (drives_->count() > 0) drives_->setCurrentIndex(0);
}

const CdDrive* CIsoToolDlg::SelectedDrive() const {
    const int index = drives_->currentIndex();
    if (index < 0 || !access_.CurrentInitialised()) return nullptr;
    const auto& drives = access_.Drives();
    return static_cast<std::size_t>(index) < drives.size() ? &drives[static_cast<std::size_t>(index)] : nullptr;
}

void CIsoToolDlg::ReadDisc() {
    if (WorkerRunning()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    tracks_->setUpdatesEnabled(false);
    tracks_->clear();
    info_->clear();
    const CdDrive* drive = SelectedDrive();
    if (drive) {
        if (!access_.TestUnitReady(drive->adapter, drive->target, drive->lun)) {
            // The tracks of the disc that was there are no longer true.
            access_.ClearToc();
            info_->setText("Cdrom not ready.");
        } else {
            access_.ReadToc(drive->adapter, drive->target, drive->lun);
            const std::uint32_t sectors = access_.ReadCapacity(drive->adapter, drive->target, drive->lun);
            job_->adapter = drive->adapter;
            job_->target = drive->target;
            job_->lun = drive->lun;
            ShowDisc(sectors);
        }
    }
    tracks_->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
}

void CIsoToolDlg::ShowDisc(std::uint32_t sectors) {
    tracks_->clear();
    for (const TocEntry& t : access_.Toc()) {
        auto* item = new QTreeWidgetItem(tracks_);
        item->setText(0, QString::number(t.track + 1));
        item->setIcon(0, TrackIcon(t.mode));
        item->setText(1, ToQt(TrackModeName(t.mode)));
        item->setText(2, QString::number(t.start));
        for (int c = 0; c < 3; ++c) item->setTextAlignment(c, Qt::AlignCenter);
    }
    info_->setText(ToQt(DiscInformation(access_.Toc().size(), sectors,
                                        InterfaceName(FromQt(interface_->currentText()), access_.interfaceMode()))));
}

ExtractMode CIsoToolDlg::CurrentMode() const {
    const int id = modes_->checkedId();
    return static_cast<ExtractMode>(id < 0 ? 0 : id);
}

QRadioButton* CIsoToolDlg::modeButton(ExtractMode mode) const {
    return static_cast<QRadioButton*>(modes_->button(static_cast<int>(mode)));
}

void CIsoToolDlg::UpdateModeControls() {
    const ExtractMode mode = CurrentMode();
    const bool idle = !WorkerRunning();
    trackNumber_->setEnabled(idle && mode == ExtractMode::SelectTrack);
    for (QWidget* w : std::initializer_list<QWidget*>{from_, to_, fromLabel_, toLabel_})
        w->setEnabled(idle && mode == ExtractMode::SelectSector);
    writeCue_->setEnabled(idle && mode == ExtractMode::CreateBinaryImage);
}

void CIsoToolDlg::SetIdleControlsEnabled(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{drives_, fileName_, browse_, tracks_, priority_, interface_, start_, exit_})
        w->setEnabled(enabled);
    for (QAbstractButton* b : modes_->buttons()) b->setEnabled(enabled);
    speed_->setEnabled(enabled);
    cancel_->setEnabled(!enabled);
    progress_->setEnabled(!enabled);
    UpdateModeControls();
}

void CIsoToolDlg::OnTrackClicked() {
    const QTreeWidgetItem* item = tracks_->currentItem();
    const int row = item && item->isSelected() ? tracks_->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) : -1;
    // Without a selected row the number is 1, the disc's first track.
    trackNumber_->setText(QString::number(row < 0 ? 1 : row + 1));
}

bool CIsoToolDlg::eventFilter(QObject* watched, QEvent* event) {
    // On release the list has already moved its selection.
    if (watched == tracks_->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        OnTrackClicked();
    return QDialog::eventFilter(watched, event);
}

void CIsoToolDlg::OnTrackDoubleClicked() {
    OnTrackClicked();
    modeButton(ExtractMode::SelectTrack)->setChecked(true);
    UpdateModeControls();
    OnStart();
}

void CIsoToolDlg::OnSpeedChanged(int index) {
    if (access_.CurrentInitialised() && index >= 0) job_->speedIndex = SpeedIndexForChoice(index);
}

void CIsoToolDlg::OnBrowse() {
    // The field holds the core's path, as typed or as chosen here.
    const QString start = HostPathToQt(FromQt(fileName_->text().trimmed()));
    const QString chosen =
        QFileDialog::getSaveFileName(this, QString(), start, "Binary Image (*.bin);;All files(*.*) (*)", nullptr,
                                     QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails);
    if (chosen.isEmpty()) return;
    QString path = chosen;
    if (QFileInfo(path).suffix().isEmpty()) path += ".bin";
    fileName_->setText(ToQt(WindowsPathFromQt(path)));
}

void CIsoToolDlg::OnCancelExtraction() { job_->cancel = true; }

bool CIsoToolDlg::WorkerRunning() const { return worker_.Started(); }

void CIsoToolDlg::OnStart() {
    const CdDrive* drive = SelectedDrive();
    if (WorkerRunning() || !access_.CurrentInitialised() || !drive) return;
    const ExtractMode mode = CurrentMode();
    const std::string file = FromQt(fileName_->text());
    if (file.empty() && mode != ExtractMode::ReadOnly) {
        prompter_.Tell("Please enter a valid filename.\n", kCaption, PromptIcon::Information);
        return;
    }
    ExtractionJob& job = *job_;
    job.imageFile = mode == ExtractMode::ReadOnly ? std::string() : file;
    job.adapter = drive->adapter;
    job.target = drive->target;
    job.lun = drive->lun;
    if (!access_.TestUnitReady(drive->adapter, drive->target, drive->lun)) return;
    // The disc may have changed since it was read (a drive that was not ready
    // then, or a disc swapped): the job and its cue sheet come from the disc
    // in the drive now. A failed read leaves no tracks.
    const std::vector<TocEntry> shown = access_.Toc();
    access_.ReadToc(drive->adapter, drive->target, drive->lun);
    const std::uint32_t capacity = access_.ReadCapacity(drive->adapter, drive->target, drive->lun);
    if (access_.Toc() != shown) {
        // After this handler: a double-click on a row of the list lands here.
        QMetaObject::invokeMethod(
            this, [this, capacity] { ShowDisc(capacity); }, Qt::QueuedConnection);
    }
    const bool writeCue = mode == ExtractMode::CreateBinaryImage && writeCue_->isChecked();
    if (mode != ExtractMode::ReadOnly && ImageOrCueSheetExists(file, writeCue) &&
        prompter_.Ask("File already exists. Overwrite File?", kCaption, PromptIcon::Question, PromptButtons::YesNo,
                      PromptAnswer::No) != PromptAnswer::Yes)
        return;
    const int priority = ThreadPriorityForChoice(priority_->currentIndex());

    const auto range = ComputeJobRange(mode, trackNumber_->text().toInt(), from_->text().toInt(), to_->text().toInt(),
                                       access_.Toc(), capacity);
    if (!range) return;
    if (range->correctedTrack) trackNumber_->setText(QString::number(*range->correctedTrack));
    if (range->correctedTo) to_->setText(QString::number(*range->correctedTo));
    job.firstSector = range->first;
    job.lastSector = range->last;
    job.cueTracks.clear();
    if (writeCue) job.cueTracks = access_.Toc();
    job.cancel = false;
    job.cancelConfirmed = false;
    job.running = true;

    const bool writeImage = mode != ExtractMode::ReadOnly;
    std::shared_ptr<ExtractionJob> shared = job_;
    std::shared_ptr<WorkerBridge> bridge = bridge_;
    CdAccess* access = &access_;
    worker_.Start(
        [shared, bridge, access, writeImage] { RunExtraction(*access, *shared, writeImage, *bridge, *bridge); },
        priority);
    SetIdleControlsEnabled(false);
}

void CIsoToolDlg::OnExtractionEnd() {
    // The worker's last act was to post this; it is ending or has ended.
    worker_.Join();
    SetIdleControlsEnabled(true);
    progress_->SetPos(0);
    if (closeWhenDone_) {
        closeWhenDone_ = false;
        QDialog::reject();
    }
}

bool CIsoToolDlg::AskToCancelForClose() {
    if (closeWhenDone_) return false;  // already asked; closing once the worker ends
    if (prompter_.Ask("Cancel Cdrom Extraction?\n", kCaption, PromptIcon::Question, PromptButtons::YesNo,
                      PromptAnswer::No) != PromptAnswer::Yes)
        return false;
    job_->cancelConfirmed = true;
    job_->cancel = true;
    closeWhenDone_ = true;
    return false;
}

void CIsoToolDlg::reject() {
    if (WorkerRunning()) {
        AskToCancelForClose();
        return;
    }
    QDialog::reject();
}

void CIsoToolDlg::closeEvent(QCloseEvent* event) {
    if (WorkerRunning()) {
        event->ignore();
        AskToCancelForClose();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace dravolo
