#include "tool/CCheatsTab.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/qt/ansi_qstring.h"
#include "tool/CCheatDlg.h"
#include "tool/CToolSkin.h"
#include "tool/chosen_path.h"
#include "tool/dialog_units.h"

namespace dravolo::tool {

namespace {
constexpr const char* kWriteFailed = "Cheat codes could not be written to Codes.txt!";
constexpr int kGameRole = Qt::UserRole + 1;
constexpr int kCheatRole = Qt::UserRole + 2;
constexpr int kImageRole = Qt::UserRole + 3;

CheatRef RefOf(const QTreeWidgetItem* item) {
    return {item->data(0, kGameRole).toInt(), item->data(0, kCheatRole).toInt()};
}

QString DisplayText(std::string_view ansi) {
    QString text = ToQt(ansi);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}
}  // namespace

CCheatsTab::CCheatsTab(Prompter& prompter, const CToolSkin& skin, QWidget* parent)
    : QWidget(parent),
      prompter_(prompter),
      skin_(skin),
      tree_(new QTreeWidget),
      data_(new QPlainTextEdit),
      menu_(new QMenu(this)) {
    runDialog = [](CCheatDlg& dialog) { return dialog.exec(); };
    tree_->setHeaderHidden(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->setExpandsOnDoubleClick(false);
    data_->setReadOnly(true);
    data_->setLineWrapMode(QPlainTextEdit::NoWrap);
    data_->setTabStopDistance(DialogUnitsX(data_->font(), 22));

    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Activate", [this] { OnActivate(); }}, {"Deactivate", [this] { OnDeactivate(); }},
        {"Add", [this] { OnAdd(); }},           {"Delete", [this] { OnDelete(); }},
        {"Edit", [this] { OnEdit(); }},         {"Import", [this] { OnImport(); }},
    };
    auto* buttons = new QHBoxLayout;
    for (const auto& [text, action] : commands) {
        auto* button = new QPushButton(QString::fromLatin1(text));
        button->setObjectName(QString::fromLatin1(text));
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    menu_->addAction(QStringLiteral("Activate"), this, &CCheatsTab::OnActivate);
    menu_->addAction(QStringLiteral("Deactivate"), this, &CCheatsTab::OnDeactivate);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("Add"), this, &CCheatsTab::OnAdd);
    menu_->addAction(QStringLiteral("Delete"), this, &CCheatsTab::OnDelete);
    menu_->addAction(QStringLiteral("Edit"), this, &CCheatsTab::OnEdit);

    auto* top = new QHBoxLayout;
    top->addWidget(tree_, 3);
    top->addWidget(data_, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &CCheatsTab::ShowData);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { OnDoubleClick(item); });
    connect(tree_, &QWidget::customContextMenuRequested, this, &CCheatsTab::ShowMenu);
}

QPushButton* CCheatsTab::button(const QString& text) const { return findChild<QPushButton*>(text); }

void CCheatsTab::Fill(CheatLibrary* library) {
    library_ = library;
    tree_->clear();
    if (!library_) return;
    const std::optional<int> active = library_->Load();
    Rebuild(std::nullopt);
    if (active) {
        if (QTreeWidgetItem* item = ItemOf({*active, -1})) item->setExpanded(true);
    }
}

void CCheatsTab::Rebuild(std::optional<CheatRef> select) {
    QSet<QString> expanded;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree_->topLevelItem(i);
        if (item->isExpanded()) expanded.insert(item->data(0, Qt::UserRole).toString());
    }
    const QSignalBlocker quiet(tree_);
    tree_->clear();
    if (!library_) return;
    const auto& games = library_->games();
    for (std::size_t g = 0; g < games.size(); ++g) {
        const CheatGame& game = games[g];
        auto* gameItem = new QTreeWidgetItem({ToQt(game.name)});
        const int gameImage = game.active ? kImageActiveGame : kImageGame;
        gameItem->setIcon(0, QIcon(skin_.CheatTreeImage(gameImage)));
        gameItem->setData(0, kGameRole, static_cast<int>(g));
        gameItem->setData(0, kCheatRole, -1);
        gameItem->setData(0, kImageRole, gameImage);
        gameItem->setData(0, Qt::UserRole, ToQt(game.Key()));
        for (std::size_t c = 0; c < game.cheats.size(); ++c) {
            const Cheat& cheat = game.cheats[c];
            auto* cheatItem = new QTreeWidgetItem({ToQt(cheat.Name())});
            const int image = cheat.active ? kImageActiveCheat : kImageCheat;
            cheatItem->setIcon(0, QIcon(skin_.CheatTreeImage(image)));
            cheatItem->setData(0, kGameRole, static_cast<int>(g));
            cheatItem->setData(0, kCheatRole, static_cast<int>(c));
            cheatItem->setData(0, kImageRole, image);
            gameItem->addChild(cheatItem);
        }
        tree_->addTopLevelItem(gameItem);
        if (expanded.contains(ToQt(game.Key()))) gameItem->setExpanded(true);
    }
    if (select) Select(*select);
    ShowData();
}

QTreeWidgetItem* CCheatsTab::ItemOf(CheatRef ref) const {
    QTreeWidgetItem* game = tree_->topLevelItem(ref.game);
    if (!game || !ref.isCheat()) return game;
    return game->child(ref.cheat);
}

int CCheatsTab::ItemImage(CheatRef ref) const {
    const QTreeWidgetItem* item = ItemOf(ref);
    return item ? item->data(0, kImageRole).toInt() : 0;
}

std::optional<CheatRef> CCheatsTab::Selected() const {
    const auto items = tree_->selectedItems();
    if (items.isEmpty()) return std::nullopt;
    return RefOf(items.front());
}

void CCheatsTab::Select(CheatRef ref) {
    QTreeWidgetItem* item = ItemOf(ref);
    if (!item) return;
    if (item->parent()) item->parent()->setExpanded(true);
    tree_->setCurrentItem(item);
    item->setSelected(true);
    tree_->scrollToItem(item);
}

void CCheatsTab::ShowData() {
    const auto ref = Selected();
    if (!ref || !library_ || !library_->Valid(*ref)) {
        data_->clear();
        return;
    }
    const CheatGame& game = library_->games()[static_cast<std::size_t>(ref->game)];
    data_->setPlainText(ref->isCheat() ? DisplayText(game.cheats[static_cast<std::size_t>(ref->cheat)].data)
                                       : DisplayText(game.id));
}

void CCheatsTab::OnActivate() {
    const auto ref = Selected();
    if (!ref || !library_ || !library_->Activate(*ref)) return;
    Rebuild(ref);
}

void CCheatsTab::OnDeactivate() {
    const auto ref = Selected();
    if (!ref || !library_ || !library_->Deactivate(*ref)) return;
    Rebuild(ref);
}

void CCheatsTab::OnDoubleClick(QTreeWidgetItem* item) {
    if (!item || !library_) return;
    const CheatRef ref = RefOf(item);
    if (!ref.isCheat()) return;
    Select(ref);
    if (library_->Toggle(ref)) Rebuild(ref);
}

void CCheatsTab::OnDelete() {
    const auto ref = Selected();
    if (!ref || !library_) return;
    if (prompter_.Ask("Cheat will be permanently removed! Continue?", "Delete cheat", PromptIcon::Exclamation,
                      PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes)
        return;
    if (!library_->Delete(*ref)) prompter_.Tell(kWriteFailed, "Delete cheat", PromptIcon::Stop);
    Rebuild(std::nullopt);
    TellAboutBackup();
}

void CCheatsTab::OpenDialog(bool edit) {
    if (!library_) return;
    const auto ref = Selected();
    if (edit && (!ref || !ref->isCheat())) return;
    CCheatDlg dialog(*library_, prompter_, edit ? CCheatDlg::Mode::Edit : CCheatDlg::Mode::Add, ref, this);
    const int result = runDialog(dialog);
    TellAboutBackup();
    if (result != QDialog::Accepted || !dialog.written()) return;
    Rebuild(dialog.written());
}

void CCheatsTab::OnAdd() { OpenDialog(false); }
void CCheatsTab::OnEdit() { OpenDialog(true); }

void CCheatsTab::OnImport() {
    if (!library_) return;
    const QString file = QFileDialog::getOpenFileName(
        this, QString(), QString(), QStringLiteral("ePSXe cheat files (*.cht);;PSEmu/AR cheat files (*.txt)"));
    if (file.isEmpty()) return;
    ImportFile(WindowsPathOfChosenFile(file));
}

void CCheatsTab::ImportFile(const std::string& path) {
    if (!library_) return;
    const CheatLibrary::ImportResult result = library_->Import(path);
    if (result.added == 0) {
        prompter_.Tell("Could not import new cheats!", "Import error", PromptIcon::Information);
        return;
    }
    // Games were inserted: the old position may name another game now.
    Rebuild(std::nullopt);
    if (!result.saved) prompter_.Tell(kWriteFailed, "Import error", PromptIcon::Stop);
    TellAboutBackup();
}

void CCheatsTab::TellAboutBackup() {
    if (!library_ || !library_->TakeBackupNotice()) return;
    prompter_.Tell(
        "Codes.txt held lines that are no cheat codes. They are kept where they were, and the file as "
        "it was before this change is saved as Codes.txt.bak.",
        "Cheat codes", PromptIcon::Information);
}

void CCheatsTab::ShowMenu(const QPoint& pos) {
    QTreeWidgetItem* item = tree_->itemAt(pos);
    if (!item) return;
    Select(RefOf(item));
    menu_->popup(tree_->viewport()->mapToGlobal(pos));
}

}  // namespace dravolo::tool
