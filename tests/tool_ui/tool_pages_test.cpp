// The "Memcards" and "Cheats" tabs and the "Cheat codes" dialog inside the
// main dialog, on the offscreen platform, with real files in a private prefix.

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "tests/support/card_builder.h"
#include "tests/support/recording_prompter.h"
#include "tests/tool_ui/tool_ui_workspace.h"
#include "tool/CCheatDlg.h"
#include "tool/CCheatsTab.h"
#include "tool/CKestrineToolDlg.h"
#include "tool/CMemcardsTab.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
const std::string kGame = "Software\\Vision Thing\\KestrineCFG\\Game";
const std::string kActive = "Software\\Vision Thing\\PSEmu Pro";

void PutFile(const std::string& host, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& host) {
    std::ifstream in(host, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// "A" "B" in full-width letters.
const std::string kTitleAB = "\x82\x60\x82\x61";

QStringList Column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
    return texts;
}

const std::string kCodes =
    "my cheats\r\n"
    "\r\n*SLUS_000.01|Racer\r\n-Time\r\n80010000 0063\r\n--\r\n-Cars\r\n80020000 00ff\r\n--\r\n**\r\n"
    "\r\n*SLUS_000.02|Fighter\r\n-Power\r\n80030000 0001\r\n--\r\n**\r\n";

}  // namespace

class ToolPagesTest : public QObject {
    Q_OBJECT
private slots:
    void cardListMarksAndCommands();
    void cardChoiceIsKeptAndWrittenAtOK();
    void cheatTreeActivityAndItsValue();
    void cheatDialogAddsEditsAndRefuses();
    void cheatImportAndDelete();
    void cheatWriteFailuresAndTheBackupAreTold();
    void cheatChoiceAfterADamagedGameSurvivesAnOkWithoutWindow();
};

void ToolPagesTest::cardListMarksAndCommands() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    const std::string cards = world.workspace().host() + "/MemCards/";
    PutFile(cards + "epsxe000.mcr", test::CardBuilder().AddSave({0}, kTitleAB).str());
    PutFile(cards + "epsxe001.mcr", test::CardBuilder().str());
    PutFile(cards + "epsxe002.mcr", test::CardBuilder::Unformatted().str());
    world.registry().SetDword(kUser, kGame + "\\Memory Cards", "MemCard1", 2);  // MemCard0 = 2 as well
    test::RecordingPrompter prompter;
    CKestrineToolDlg dialog(world.Setup("Game"), prompter);
    CMemcardsTab* tab = dialog.memcardsTab();
    QTreeWidget* list = tab->list();
    QCOMPARE(Column(list, 0), QStringList({"Card 0000", "Card 0001", "Card 0002"}));
    QCOMPARE(Column(list, 1), QStringList({"AB; ", "formatted, no blocks used", "not formatted"}));
    QCOMPARE(list->headerItem()->text(2), QStringLiteral("Date"));
    QCOMPARE(tab->RowMark(2), kMarkBothSlots);
    QCOMPARE(tab->RowMark(0), 0);

    tab->SelectCard(0);
    tab->button("Set Slot 1")->click();
    QCOMPARE(world.registry().QueryDword(kUser, kActive + "\\Memory Cards", "MemCard0"), std::uint32_t{0});
    QCOMPARE(tab->RowMark(0), kMarkSlot1);
    QCOMPARE(tab->RowMark(2), kMarkSlot2);

    // Format asks; No leaves the card, Yes formats it.
    tab->SelectCard(2);
    prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
    tab->button("Format")->click();
    QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("not formatted"));
    tab->button("Format")->click();
    QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("formatted, no blocks used"));
    QCOMPARE(prompter.messages.back().text, std::string("Formatting will destroy content of memory card. Continue?"));
    QCOMPARE(prompter.messages.back().caption, std::string("Format"));

    tab->button("Create")->click();
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(list->topLevelItem(3)->text(1), QStringLiteral("not formatted"));
    QCOMPARE(tab->SelectedCard().value_or(-1), 3);
    tab->SelectCard(0);
    tab->button("Duplicate")->click();
    QCOMPARE(list->topLevelItem(4)->text(1), QStringLiteral("AB; "));

    // Delete card 1: the others move down, and every configuration's slot
    // values follow their cards; a slot that held card 1 holds none.
    const std::string other = "Software\\Vision Thing\\KestrineCFG\\Other\\Memory Cards";
    world.registry().SetDword(kUser, other, "MemCard0", 1);
    world.registry().SetDword(kUser, other, "MemCard1", 4);
    world.registry().SetDword(kUser, kGame + "\\Memory Cards", "MemCard0", 3);
    tab->SelectCard(1);
    prompter.answers = {PromptAnswer::Yes};
    tab->button("Delete")->click();
    QCOMPARE(prompter.messages.back().caption, std::string("Delete"));
    QCOMPARE(Column(list, 1), QStringList({"AB; ", "formatted, no blocks used", "not formatted", "AB; "}));
    QCOMPARE(world.registry().QueryDword(kUser, kActive + "\\Memory Cards", "MemCard0"), std::uint32_t{0});
    QCOMPARE(world.registry().QueryDword(kUser, kActive + "\\Memory Cards", "MemCard1"), std::uint32_t{1});
    QCOMPARE(tab->RowMark(1), kMarkSlot2);
    QCOMPARE(tab->RowMark(2), 0);
    QVERIFY(!world.registry().QueryDword(kUser, other, "MemCard0"));
    QCOMPARE(world.registry().QueryDword(kUser, other, "MemCard1"), std::uint32_t{3});
    QCOMPARE(world.registry().QueryDword(kUser, kGame + "\\Memory Cards", "MemCard0"), std::uint32_t{2});
    prompter.messages.clear();

    tab->ImportFile(world.workspace().windows() + "\\nothing.bin");
    QCOMPARE(prompter.messages.size(), std::size_t{1});
    QCOMPARE(prompter.messages[0].text, std::string("Could not import memcard!"));
    QCOMPARE(prompter.messages[0].caption, std::string("Import error"));
    QCOMPARE(prompter.messages[0].icon, PromptIcon::Information);
    PutFile(world.workspace().host() + "/in.mcr", test::CardBuilder().AddSave({0}, kTitleAB).str());
    tab->ImportFile(world.workspace().windows() + "\\in.mcr");
    QCOMPARE(list->topLevelItemCount(), 5);

    tab->SelectCard(0);
    tab->ExportTo(world.workspace().windows() + "\\out.mcr");
    QCOMPARE(prompter.messages.back().text, std::string("Memcard copied!"));
    QCOMPARE(prompter.messages.back().caption, std::string("Export Memcard file"));
    QCOMPARE(ReadFile(world.workspace().host() + "/out.mcr"), ReadFile(cards + "epsxe000.mcr"));
    tab->ExportTo("C:\\missing\\out.mcr");
    QCOMPARE(prompter.messages.back().icon, PromptIcon::Stop);

    // The right-click menu: the buttons' commands, a separator after "Set Slot 2".
    QStringList entries;
    for (QAction* action : tab->contextMenu()->actions()) entries << (action->isSeparator() ? "-" : action->text());
    QCOMPARE(entries, QStringList({"Set Slot 1", "Set Slot 2", "-", "Format Card", "Create Card", "Delete Card",
                                   "Duplicate Card", "Import Card", "Export Card"}));
    dialog.OnCancel();
}

void ToolPagesTest::cardChoiceIsKeptAndWrittenAtOK() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    world.registry().SetDword(kUser, kGame + "\\Memory Cards", "CustomCards", 1);
    world.registry().SetString(kUser, kGame + "\\Memory Cards", "CustomCard0", "D:\\Saves\\one.mcr");
    test::RecordingPrompter prompter;
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        CMemcardsTab* tab = dialog.memcardsTab();
        QVERIFY(tab->customRadio()->isChecked());
        QCOMPARE(tab->card1Edit()->text(), QStringLiteral("D:\\Saves\\one.mcr"));
        QCOMPARE(tab->card2Edit()->text(), QString());
        dialog.okButton()->click();
    }
    // Untouched, the stored choice comes back as it was.
    QCOMPARE(world.registry().QueryDword(kUser, kGame + "\\Memory Cards", "CustomCards"), std::uint32_t{1});
    QCOMPARE(world.registry().QueryString(kUser, kGame + "\\Memory Cards", "CustomCard0"),
             std::string("D:\\Saves\\one.mcr"));
    QCOMPARE(world.registry().QueryDword(kUser, kGame + "\\Memory Cards", "MemCard0"), std::uint32_t{2});
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        dialog.memcardsTab()->managedRadio()->setChecked(true);
        dialog.memcardsTab()->card2Edit()->setText(QStringLiteral("E:\\two.mcr"));
        dialog.OnCancel();  // Cancel writes nothing of it
    }
    QCOMPARE(world.registry().QueryDword(kUser, kGame + "\\Memory Cards", "CustomCards"), std::uint32_t{1});
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        dialog.memcardsTab()->managedRadio()->setChecked(true);
        dialog.memcardsTab()->card2Edit()->setText(QStringLiteral("E:\\two.mcr"));
        dialog.okButton()->click();
    }
    QCOMPARE(world.registry().QueryDword(kUser, kGame + "\\Memory Cards", "CustomCards"), std::uint32_t{0});
    QCOMPARE(world.registry().QueryString(kUser, kGame + "\\Memory Cards", "CustomCard1"), std::string("E:\\two.mcr"));
}

void ToolPagesTest::cheatTreeActivityAndItsValue() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    PutFile(world.workspace().host() + "/Cheats/Codes.txt", kCodes);
    test::RecordingPrompter prompter;
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        CCheatsTab* tab = dialog.cheatsTab();
        QCOMPARE(tab->tree()->topLevelItemCount(), 2);
        // An inactive game shows a game picture, not the card list's "both
        // slots" badge that shares its index.
        const QImage game = tab->ItemOf({0, -1})->icon(0).pixmap(16, 16).toImage();
        QVERIFY(game != dialog.skin().StateImage(kImageGame).toImage());
        QCOMPARE(game, dialog.skin().CheatTreeImage(kImageGame).toImage());
        QVERIFY(game != dialog.skin().CheatTreeImage(kImageActiveGame).toImage());
        QCOMPARE(tab->ItemOf({0, 1})->text(0), QStringLiteral("Cars"));
        tab->Select({0, 1});
        QCOMPARE(tab->dataView()->toPlainText(), QStringLiteral("Cars\n80020000\t00FF\n"));
        tab->Select({1, -1});
        QCOMPARE(tab->dataView()->toPlainText(), QStringLiteral("SLUS_000.02"));
        // A double-click on a cheat activates it, and its game.
        tab->OnDoubleClick(tab->ItemOf({0, 1}));
        QCOMPARE(tab->ItemImage({0, 1}), kImageActiveCheat);
        QCOMPARE(tab->ItemImage({0, -1}), kImageActiveGame);
        QCOMPARE(tab->ItemImage({0, 0}), kImageCheat);
        // On a game it does nothing.
        tab->OnDoubleClick(tab->ItemOf({1, -1}));
        QCOMPARE(tab->ItemImage({1, -1}), kImageGame);
        QStringList entries;
        for (QAction* action : tab->contextMenu()->actions()) entries << (action->isSeparator() ? "-" : action->text());
        QCOMPARE(entries, QStringList({"Activate", "Deactivate", "-", "Add", "Delete", "Edit"}));
        dialog.okButton()->click();
    }
    // The choice travels with the configuration and is shown at the next start.
    QVERIFY(world.registry().QueryValue(kUser, kGame + "\\Kestrine", "Cheats"));
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        CCheatsTab* tab = dialog.cheatsTab();
        QCOMPARE(tab->ItemImage({0, 1}), kImageActiveCheat);
        QVERIFY(tab->ItemOf({0, -1})->isExpanded());
        tab->Select({0, -1});
        tab->button("Deactivate")->click();
        QCOMPARE(tab->ItemImage({0, 1}), kImageCheat);
        QVERIFY(!world.registry().QueryValue(kUser, kActive + "\\Kestrine", "Cheats"));
        tab->Select({1, -1});
        tab->button("Activate")->click();
        QCOMPARE(tab->ItemImage({1, 0}), kImageActiveCheat);
        dialog.OnCancel();
    }
    QVERIFY(prompter.messages.empty());
}

void ToolPagesTest::cheatDialogAddsEditsAndRefuses() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    const std::string codes = world.workspace().host() + "/Cheats/Codes.txt";
    PutFile(codes, kCodes);
    test::RecordingPrompter prompter;
    CKestrineToolDlg dialog(world.Setup("Game"), prompter);
    CCheatsTab* tab = dialog.cheatsTab();

    // Add with nothing selected: every field empty and open.
    int steps = 0;
    tab->runDialog = [&](CCheatDlg& cheat) {
        ++steps;
        [&] {
            QCOMPARE(cheat.windowTitle(), QStringLiteral("Cheat codes"));
            QVERIFY(cheat.idEdit()->isEnabled() && cheat.idEdit()->text().isEmpty());
            cheat.okButton()->click();  // no codes: refused
            QVERIFY(cheat.result() != QDialog::Accepted);
            cheat.addressEdit()->setText(QStringLiteral("8001abz"));
            cheat.valueEdit()->setText(QStringLiteral("63"));
            cheat.addButton()->click();
            QCOMPARE(cheat.addressEdit()->text(), QStringLiteral("008001AB"));
            QCOMPARE(cheat.valueEdit()->text(), QStringLiteral("0063"));
            QCOMPARE(cheat.codesList()->item(0)->text(), QStringLiteral("008001AB\t0063"));
            cheat.idEdit()->setText(QStringLiteral("SLUS_123"));  // eight characters
            cheat.gameEdit()->setText(QStringLiteral("Boxer"));
            cheat.nameEdit()->setText(QStringLiteral("Strong"));
            cheat.okButton()->click();
            QVERIFY(cheat.result() != QDialog::Accepted);
            cheat.idEdit()->setText(QStringLiteral("SLUS_123.45").left(9));
            cheat.okButton()->click();
        }();
        return cheat.result();
    };
    tab->button("Add")->click();
    QCOMPARE(steps, 1);
    // "Boxer" goes before "Racer", after no smaller name.
    QCOMPARE(tab->ItemOf({0, -1})->text(0), QStringLiteral("Boxer"));
    QCOMPARE(tab->Selected().value_or(CheatRef{}), (CheatRef{0, 0}));
    QVERIFY(ReadFile(codes).find("\r\n*SLUS_123.|Boxer\r\n-Strong\r\n008001AB 0063\r\n--\r\n**\r\n") !=
            std::string::npos);
    QCOMPARE(ReadFile(codes).substr(0, 11), std::string("my cheats\r\n"));

    // The same name again: asked; No keeps the dialog, Yes replaces the cheat.
    tab->Select({1, 0});  // a cheat of "Racer": its game fills the fields
    tab->runDialog = [&](CCheatDlg& cheat) {
        [&] {
            QVERIFY(!cheat.idEdit()->isEnabled());
            QCOMPARE(cheat.idEdit()->text(), QStringLiteral("SLUS_000.01"));  // not cut to nine
            QCOMPARE(cheat.gameEdit()->text(), QStringLiteral("Racer"));
            QVERIFY(cheat.nameEdit()->isEnabled() && cheat.nameEdit()->text().isEmpty());
            cheat.nameEdit()->setText(QStringLiteral("Cars"));
            cheat.addressEdit()->setText(QStringLiteral("1"));
            cheat.valueEdit()->setText(QStringLiteral("2"));
            cheat.addButton()->click();
            prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
            cheat.okButton()->click();
            QVERIFY(cheat.result() != QDialog::Accepted);
            QCOMPARE(prompter.messages.back().text, std::string("Cheat already exists! Continue?"));
            QCOMPARE(prompter.messages.back().caption, std::string("Add cheat"));
            cheat.okButton()->click();
        }();
        return cheat.result();
    };
    tab->button("Add")->click();
    QCOMPARE(dialog.cheatLibrary()->games()[1].cheats.size(), std::size_t{2});
    QCOMPARE(dialog.cheatLibrary()->games()[1].cheats[1].data, std::string("Cars\r\n00000001\t0002\r\n"));

    // Edit an active cheat: its lines fill the list; the value follows the edit.
    tab->Select({1, 0});
    tab->button("Activate")->click();
    tab->runDialog = [&](CCheatDlg& cheat) {
        [&] {
            QVERIFY(!cheat.nameEdit()->isEnabled());
            QCOMPARE(cheat.nameEdit()->text(), QStringLiteral("Time"));
            QCOMPARE(cheat.codesList()->count(), 1);
            cheat.codesList()->setCurrentRow(0);
            QCOMPARE(cheat.addressEdit()->text(), QStringLiteral("80010000"));
            cheat.valueEdit()->setText(QStringLiteral("ff"));
            cheat.changeButton()->click();
            cheat.addButton()->click();
            cheat.codesList()->setCurrentRow(0);
            cheat.removeButton()->click();
            QCOMPARE(cheat.codesList()->currentRow(), 0);
            cheat.okButton()->click();
        }();
        return cheat.result();
    };
    tab->button("Edit")->click();
    const std::string expected = "SLUS_000.01|Racer\r\n*Time\r\n80010000\t00FF\r\n";
    const auto value = world.registry().QueryValue(kUser, kActive + "\\Kestrine", "Cheats");
    QVERIFY(value);
    QCOMPARE(std::string(value->data.begin(), value->data.end()), expected + '\0');
    QCOMPARE(tab->dataView()->toPlainText(), QStringLiteral("Time\n80010000\t00FF\n"));
    dialog.OnCancel();
}

void ToolPagesTest::cheatImportAndDelete() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    const std::string codes = world.workspace().host() + "/Cheats/Codes.txt";
    PutFile(codes, kCodes);
    PutFile(world.workspace().host() + "/Street.cht", "#Street\r\n80040000 0002\r\n");
    test::RecordingPrompter prompter;
    CKestrineToolDlg dialog(world.Setup("Game"), prompter);
    CCheatsTab* tab = dialog.cheatsTab();
    tab->ImportFile(world.workspace().windows() + "\\Street.cht");
    QVERIFY(prompter.messages.empty());
    QCOMPARE(tab->tree()->topLevelItemCount(), 3);
    tab->ImportFile(world.workspace().windows() + "\\Street.cht");
    QCOMPARE(prompter.messages.size(), std::size_t{1});
    QCOMPARE(prompter.messages[0].text, std::string("Could not import new cheats!"));
    QCOMPARE(prompter.messages[0].caption, std::string("Import error"));

    // Delete asks; the last cheat of a game takes the game with it.
    tab->Select({1, 0});  // "Fighter" has one cheat
    QCOMPARE(tab->ItemOf({1, -1})->text(0), QStringLiteral("Fighter"));
    prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
    tab->button("Delete")->click();
    QCOMPARE(tab->tree()->topLevelItemCount(), 3);
    tab->button("Delete")->click();
    QCOMPARE(prompter.messages.back().text, std::string("Cheat will be permanently removed! Continue?"));
    QCOMPARE(prompter.messages.back().caption, std::string("Delete cheat"));
    QCOMPARE(tab->tree()->topLevelItemCount(), 2);
    QVERIFY(ReadFile(codes).find("Fighter") == std::string::npos);
    QVERIFY(ReadFile(codes).find("*NO_ID_000|Street") != std::string::npos);
    dialog.OnCancel();
}

void ToolPagesTest::cheatWriteFailuresAndTheBackupAreTold() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    const std::string codes = world.workspace().host() + "/Cheats/Codes.txt";
    // A comment between the games: text the library does not read.
    const std::string damaged = kCodes + "; my notes\r\n";
    PutFile(codes, damaged);
    PutFile(world.workspace().host() + "/Street.cht", "#Street\r\n80040000 0002\r\n");
    test::RecordingPrompter prompter;
    CKestrineToolDlg dialog(world.Setup("Game"), prompter);
    CCheatsTab* tab = dialog.cheatsTab();

    // The first change keeps the file as it was in Codes.txt.bak, and says so once.
    tab->Select({0, 0});
    prompter.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    tab->button("Delete")->click();
    QCOMPARE(ReadFile(codes + ".bak"), damaged);
    QVERIFY(ReadFile(codes).find("; my notes") != std::string::npos);
    QCOMPARE(prompter.messages.size(), std::size_t{2});
    QCOMPARE(prompter.messages[1].caption, std::string("Cheat codes"));
    QCOMPARE(prompter.messages[1].icon, PromptIcon::Information);
    QVERIFY(prompter.messages[1].text.find("Codes.txt.bak") != std::string::npos);
    tab->Select({0, 0});
    tab->button("Delete")->click();
    QCOMPARE(prompter.messages.size(), std::size_t{3});  // only the question
    QCOMPARE(ReadFile(codes + ".bak"), damaged);

    // Codes.txt cannot be written: an import, an edit and a delete say so.
    std::filesystem::remove(codes);
    std::filesystem::create_directory(codes);
    const auto toldWriteFailed = [&](const char* caption) {
        QVERIFY(!prompter.messages.empty());
        QCOMPARE(prompter.messages.back().text, std::string("Cheat codes could not be written to Codes.txt!"));
        QCOMPARE(prompter.messages.back().caption, std::string(caption));
        QCOMPARE(prompter.messages.back().icon, PromptIcon::Stop);
        prompter.messages.clear();
    };
    tab->ImportFile(world.workspace().windows() + "\\Street.cht");
    toldWriteFailed("Import error");
    tab->Select({1, 0});
    tab->runDialog = [](CCheatDlg& cheat) {
        cheat.addressEdit()->setText(QStringLiteral("80050000"));
        cheat.valueEdit()->setText(QStringLiteral("0003"));
        cheat.addButton()->click();
        cheat.okButton()->click();
        return cheat.result();
    };
    tab->button("Edit")->click();
    toldWriteFailed("Cheat codes");
    tab->Select({1, 0});
    prompter.answers = {PromptAnswer::Yes};
    tab->button("Delete")->click();
    toldWriteFailed("Delete cheat");
    QVERIFY(std::filesystem::is_directory(codes));
    dialog.OnCancel();
}

void ToolPagesTest::cheatChoiceAfterADamagedGameSurvivesAnOkWithoutWindow() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    // "Racer" lacks its "**"; the chosen game comes after it.
    std::string codes = kCodes;
    codes.erase(codes.find("**\r\n"), 4);
    PutFile(world.workspace().host() + "/Cheats/Codes.txt", codes);
    const std::string choice = "SLUS_000.02|Fighter\r\n*Power\r\n80030000\t0001\r\n";
    Bytes value(choice.begin(), choice.end());
    value.push_back(0);
    world.registry().SetValue(kUser, kGame + "\\Kestrine", "Cheats", kRegBinary, value);
    test::RecordingPrompter prompter;
    for (const char* word : {"0!9", "0"}) {
        CKestrineToolDlg dialog(world.Setup("Game", word), prompter);
        QCOMPARE(dialog.cheatsTab()->ItemImage({1, 0}), kImageActiveCheat);
        if (dialog.QuickConfigureAction()) {
            dialog.OnQuickConfigure(*dialog.QuickConfigureAction());
        } else {
            dialog.OnOK();
        }
        const auto stored = world.registry().QueryValue(kUser, kGame + "\\Kestrine", "Cheats");
        QVERIFY(stored);
        QCOMPARE(stored->data, value);
    }
}

QTEST_MAIN(ToolPagesTest)
#include "tool_pages_test.moc"
