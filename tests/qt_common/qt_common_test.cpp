// The message box every windowed program asks through, and the ANSI <->
// QString conversions at the widget boundary, on the offscreen platform.

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "common/qt/ansi_qstring.h"
#include "common/qt/message_box_prompter.h"

using namespace dravolo;

Q_DECLARE_METATYPE(dravolo::PromptIcon)
Q_DECLARE_METATYPE(dravolo::PromptButtons)
Q_DECLARE_METATYPE(dravolo::PromptAnswer)

namespace {

// Asks, and once the box is up lets `act` look at it and close it. A box that
// never shows fails the test instead of hanging it.
PromptAnswer AskAndAct(MessageBoxPrompter& prompter, PromptButtons buttons, PromptAnswer defaultAnswer,
                       const std::function<void(QMessageBox*)>& act, std::string_view text = "text",
                       std::string_view caption = "caption", PromptIcon icon = PromptIcon::Question,
                       std::string_view details = {}) {
    bool acted = false;
    bool rescued = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (!acted) {
            acted = true;
            act(box);
        } else if (!rescued) {
            // Still open: `act` did not end it. End it here rather than hang.
            rescued = true;
            box->done(QMessageBox::Ok);
        }
    });
    poll.start(10);
    const PromptAnswer answer = prompter.AskWithDetails(text, caption, icon, buttons, defaultAnswer, details);
    poll.stop();
    if (!acted || rescued) qWarning("the message box did not show, or stayed open");
    return acted && !rescued ? answer : static_cast<PromptAnswer>(-1);
}

}  // namespace

class QtCommonTest : public QObject {
    Q_OBJECT

private slots:
    void showsTextCaptionAndIconOverTheOwner_data();
    void showsTextCaptionAndIconOverTheOwner();
    void offersTheButtonsWithTheDefault_data();
    void offersTheButtonsWithTheDefault();
    void closingWithoutAButtonGivesTheAnswerThatDoesNothing_data();
    void closingWithoutAButtonGivesTheAnswerThatDoesNothing();
    void ownerGoneBeforeAskingLeavesTheBoxOnItsOwn();
    void theCauseGoesUnderDetailsAndTheTextStays();
    void ansiBytesSurviveTheRoundTrip();
    void textsWithoutAnsiFormBecomeQuestionMarks();
};

void QtCommonTest::showsTextCaptionAndIconOverTheOwner_data() {
    QTest::addColumn<PromptIcon>("icon");
    QTest::addColumn<int>("expected");
    QTest::newRow("stop") << PromptIcon::Stop << int(QMessageBox::Critical);
    QTest::newRow("question") << PromptIcon::Question << int(QMessageBox::Question);
    QTest::newRow("exclamation") << PromptIcon::Exclamation << int(QMessageBox::Warning);
    QTest::newRow("information") << PromptIcon::Information << int(QMessageBox::Information);
    QTest::newRow("none") << PromptIcon::None << int(QMessageBox::NoIcon);
}

void QtCommonTest::showsTextCaptionAndIconOverTheOwner() {
    QFETCH(PromptIcon, icon);
    QFETCH(int, expected);
    QWidget owner;
    owner.show();
    MessageBoxPrompter prompter(&owner);
    QString text, caption;
    int shownIcon = -1;
    QWidget* parent = nullptr;
    // "Café €" in Windows-1252.
    AskAndAct(
        prompter, PromptButtons::Ok, PromptAnswer::Ok,
        [&](QMessageBox* box) {
            text = box->text();
            caption = box->windowTitle();
            shownIcon = box->icon();
            parent = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        },
        "Caf\xE9 \x80", "\x93Quoted\x94", icon);
    QCOMPARE(text, QString::fromUtf8("Caf\u00E9 \u20AC"));
    QCOMPARE(caption, QString::fromUtf8("\u201CQuoted\u201D"));
    QCOMPARE(shownIcon, expected);
    QCOMPARE(parent, &owner);
}

void QtCommonTest::offersTheButtonsWithTheDefault_data() {
    QTest::addColumn<PromptButtons>("buttons");
    QTest::addColumn<PromptAnswer>("defaultAnswer");
    QTest::addColumn<int>("expectedButtons");
    QTest::addColumn<int>("expectedDefault");
    QTest::newRow("ok") << PromptButtons::Ok << PromptAnswer::Ok << int(QMessageBox::Ok) << int(QMessageBox::Ok);
    QTest::newRow("ok cancel, cancel first") << PromptButtons::OkCancel << PromptAnswer::Cancel
                                             << int(QMessageBox::Ok | QMessageBox::Cancel) << int(QMessageBox::Cancel);
    QTest::newRow("yes no, no first") << PromptButtons::YesNo << PromptAnswer::No
                                      << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::No);
    QTest::newRow("yes no cancel") << PromptButtons::YesNoCancel << PromptAnswer::Yes
                                   << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
                                   << int(QMessageBox::Yes);
    QTest::newRow("retry cancel") << PromptButtons::RetryCancel << PromptAnswer::Retry
                                  << int(QMessageBox::Retry | QMessageBox::Cancel) << int(QMessageBox::Retry);
}

void QtCommonTest::offersTheButtonsWithTheDefault() {
    QFETCH(PromptButtons, buttons);
    QFETCH(PromptAnswer, defaultAnswer);
    QFETCH(int, expectedButtons);
    QFETCH(int, expectedDefault);
    MessageBoxPrompter prompter;
    int shownButtons = 0, shownDefault = 0;
    const PromptAnswer answer = AskAndAct(prompter, buttons, defaultAnswer, [&](QMessageBox* box) {
        shownButtons = int(box->standardButtons());
        shownDefault = int(box->standardButton(box->defaultButton()));
        // Enter takes the default button: each answer comes back as itself.
        QTest::keyClick(box, Qt::Key_Return);
    });
    QCOMPARE(shownButtons, expectedButtons);
    QCOMPARE(shownDefault, expectedDefault);
    QCOMPARE(answer, defaultAnswer);
}

void QtCommonTest::closingWithoutAButtonGivesTheAnswerThatDoesNothing_data() {
    QTest::addColumn<PromptButtons>("buttons");
    QTest::addColumn<PromptAnswer>("expected");
    QTest::addColumn<bool>("byEscape");
    // The default is the bold choice ("Yes"), never what closing means.
    for (const bool escape : {true, false}) {
        const char* how = escape ? "escape" : "closed";
        QTest::addRow("%s ok", how) << PromptButtons::Ok << PromptAnswer::Ok << escape;
        QTest::addRow("%s ok cancel", how) << PromptButtons::OkCancel << PromptAnswer::Cancel << escape;
        QTest::addRow("%s yes no", how) << PromptButtons::YesNo << PromptAnswer::No << escape;
        QTest::addRow("%s yes no cancel", how) << PromptButtons::YesNoCancel << PromptAnswer::Cancel << escape;
        QTest::addRow("%s retry cancel", how) << PromptButtons::RetryCancel << PromptAnswer::Cancel << escape;
    }
}

void QtCommonTest::closingWithoutAButtonGivesTheAnswerThatDoesNothing() {
    QFETCH(PromptButtons, buttons);
    QFETCH(PromptAnswer, expected);
    QFETCH(bool, byEscape);
    MessageBoxPrompter prompter;
    const PromptAnswer defaultAnswer = buttons == PromptButtons::RetryCancel ? PromptAnswer::Retry
                                       : buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel
                                           ? PromptAnswer::Ok
                                           : PromptAnswer::Yes;
    const PromptAnswer answer = AskAndAct(prompter, buttons, defaultAnswer, [&](QMessageBox* box) {
        if (byEscape) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            box->accept();  // ended by its host, not by one of its buttons
        }
    });
    QCOMPARE(answer, expected);
}

void QtCommonTest::theCauseGoesUnderDetailsAndTheTextStays() {
    MessageBoxPrompter prompter;
    QString text, details;
    AskAndAct(
        prompter, PromptButtons::Ok, PromptAnswer::Ok,
        [&](QMessageBox* box) {
            text = box->text();
            details = box->detailedText();
            box->button(QMessageBox::Ok)->click();
        },
        "Cannot Save to File.", "File Save Error", PromptIcon::Stop, ".\\Epsxe\\Crash.set: Permission denied");
    QCOMPARE(text, QString("Cannot Save to File."));
    QCOMPARE(details, QString(".\\Epsxe\\Crash.set: Permission denied"));
    // Without a cause the box has no "Details" at all.
    AskAndAct(prompter, PromptButtons::Ok, PromptAnswer::Ok, [&](QMessageBox* box) {
        details = box->detailedText();
        box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(details.isEmpty());
}

void QtCommonTest::ownerGoneBeforeAskingLeavesTheBoxOnItsOwn() {
    auto owner = std::make_unique<QWidget>();
    MessageBoxPrompter prompter(owner.get());
    owner.reset();
    QWidget* parent = reinterpret_cast<QWidget*>(1);
    const PromptAnswer answer = AskAndAct(prompter, PromptButtons::YesNo, PromptAnswer::Yes, [&](QMessageBox* box) {
        parent = box->parentWidget();
        box->button(QMessageBox::Yes)->click();
    });
    QCOMPARE(answer, PromptAnswer::Yes);
    QCOMPARE(parent, nullptr);

    // An owner given later is used from then on.
    QWidget later;
    later.show();
    prompter.SetOwner(&later);
    AskAndAct(prompter, PromptButtons::Ok, PromptAnswer::Ok, [&](QMessageBox* box) {
        parent = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(parent, &later);
}

void QtCommonTest::ansiBytesSurviveTheRoundTrip() {
    // Every byte, NUL and the five bytes Windows-1252 leaves undefined
    // included: names read from files come back unchanged.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString wide = ToQt(all);
    QCOMPARE(wide.size(), qsizetype(256));
    QCOMPARE(wide.at(0), QChar(0));
    QCOMPARE(wide.at(0x80), QChar(0x20AC));  // euro sign
    QCOMPARE(wide.at(0x81), QChar(0x0081));  // undefined: kept as is
    QCOMPARE(wide.at(0x9F), QChar(0x0178));  // Y with diaeresis
    QCOMPARE(wide.at(0xE9), QChar(0x00E9));
    QCOMPARE(FromQt(wide), all);
    QCOMPARE(ToQt(""), QString());
    QCOMPARE(FromQt(QString()), std::string());
}

void QtCommonTest::textsWithoutAnsiFormBecomeQuestionMarks() {
    // A CJK character, and a character outside the BMP (one surrogate pair,
    // one character, one '?').
    QCOMPARE(FromQt(QString::fromUtf8("a\u4E2Db")), std::string("a?b"));
    QCOMPARE(FromQt(QString::fromUtf8("x\U0001F600y")), std::string("x?y"));
    QCOMPARE(FromQt(QString::fromUtf8("\u20AC \u2122")), std::string("\x80 \x99"));
}

QTEST_MAIN(QtCommonTest)
#include "qt_common_test.moc"
