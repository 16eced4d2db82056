// A stand-in for an emulator in the demo workspace. Installed under the
// emulator's program name (epsxe.exe, fpse.exe, ...), it opens a small window
// that shows how it was started, so a user sees what a launch does.

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString program = QFileInfo(args.value(0)).fileName();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Demo emulator: %1").arg(program));
    auto* heading = new QLabel(
        QStringLiteral("<b>%1</b> was started. A real emulator would run the game now.").arg(program.toHtmlEscaped()));
    heading->setWordWrap(true);

    QString report;
    report += QStringLiteral("Program: %1\n").arg(QFileInfo(args.value(0)).absoluteFilePath());
    report += QStringLiteral("Working directory: %1\n\n").arg(QDir::currentPath());
    report += QStringLiteral("Arguments (%1):\n").arg(args.size() - 1);
    for (qsizetype i = 1; i < args.size(); ++i) report += QStringLiteral("  [%1] %2\n").arg(i).arg(args[i]);
    auto* text = new QPlainTextEdit(report);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QWidget::close);

    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(heading);
    layout->addWidget(text, 1);
    layout->addWidget(buttons);
    window.resize(520, 260);
    window.show();
    return QApplication::exec();
}
