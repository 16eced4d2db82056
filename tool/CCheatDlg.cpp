#include "tool/CCheatDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "common/qt/ansi_qstring.h"
#include "tool/dialog_units.h"

namespace dravolo::tool {

namespace {
constexpr std::size_t kLicenseeIdLength = 9;
}

std::string FormatHexField(std::string_view field, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*lX", digits, LeadingHex(field).value_or(0));
    return text;
}

CCheatDlg::CCheatDlg(CheatLibrary& library, Prompter& prompter, Mode mode, std::optional<CheatRef> selected,
                     QWidget* parent)
    : QDialog(parent),
      library_(library),
      prompter_(prompter),
      mode_(mode),
      selected_(selected),
      id_(new QLineEdit),
      game_(new QLineEdit),
      name_(new QLineEdit),
      address_(new QLineEdit),
      value_(new QLineEdit),
      codes_(new QListWidget),
      add_(new QPushButton(QStringLiteral("Add"))),
      remove_(new QPushButton(QStringLiteral("Remove"))),
      change_(new QPushButton(QStringLiteral("Change"))),
      ok_(new QPushButton(QStringLiteral("OK"))) {
    setWindowTitle(QStringLiteral("Cheat codes"));
    address_->setMaxLength(8);
    value_->setMaxLength(4);
    codes_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Unique Licensee ID:"), id_);
    fields->addRow(QStringLiteral("Game name:"), game_);
    fields->addRow(QStringLiteral("Cheat name:"), name_);
    fields->addRow(QStringLiteral("Cheat main address:"), address_);
    fields->addRow(QStringLiteral("Value:"), value_);
    auto* lineButtons = new QHBoxLayout;
    for (QPushButton* b : {add_, remove_, change_}) {
        b->setAutoDefault(false);
        lineButtons->addWidget(b);
    }
    lineButtons->addStretch(1);
    auto* codesLabel = new QLabel(QStringLiteral("Codes:"));
    codesLabel->setBuddy(codes_);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    ok_->setDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok_);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(lineButtons);
    layout->addWidget(codesLabel);
    layout->addWidget(codes_, 1);
    layout->addLayout(bottom);
    setMinimumWidth(DialogUnitsX(font(), 220));

    connect(add_, &QPushButton::clicked, this, &CCheatDlg::OnAddLine);
    connect(remove_, &QPushButton::clicked, this, &CCheatDlg::OnRemoveLine);
    connect(change_, &QPushButton::clicked, this, &CCheatDlg::OnChangeLine);
    connect(codes_, &QListWidget::currentRowChanged, this, &CCheatDlg::OnSelectLine);
    connect(ok_, &QPushButton::clicked, this, &CCheatDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // A selected cheat names its game; edit mode brings the cheat itself.
    if (selected_ && library_.Valid(*selected_) && selected_->isCheat()) {
        const CheatGame& game = library_.games()[static_cast<std::size_t>(selected_->game)];
        // An existing game's identifier is taken whole, whatever its length.
        id_->setText(ToQt(game.id));
        game_->setText(ToQt(game.name));
        id_->setEnabled(false);
        game_->setEnabled(false);
        if (mode_ == Mode::Edit) {
            const Cheat& cheat = game.cheats[static_cast<std::size_t>(selected_->cheat)];
            name_->setText(ToQt(cheat.Name()));
            name_->setEnabled(false);
            std::string_view rest(cheat.data);
            rest.remove_prefix(std::min(rest.size(), cheat.Name().size() + 2));
            while (!rest.empty()) {
                const auto end = rest.find("\r\n");
                codes_->addItem(ToQt(rest.substr(0, end)));
                rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
            }
        }
    }
    if (id_->isEnabled()) id_->setMaxLength(static_cast<int>(kLicenseeIdLength));
}

QString CCheatDlg::BuildLine() {
    const QString address = ToQt(FormatHexField(FromQt(address_->text()), 8));
    const QString value = ToQt(FormatHexField(FromQt(value_->text()), 4));
    if (address_->text() != address) address_->setText(address);
    if (value_->text() != value) value_->setText(value);
    return address + QLatin1Char('\t') + value;
}

void CCheatDlg::OnAddLine() {
    codes_->addItem(BuildLine());
    codes_->setCurrentRow(codes_->count() - 1);
}

void CCheatDlg::OnChangeLine() {
    QListWidgetItem* item = codes_->currentItem();
    if (!item) return;
    item->setText(BuildLine());
}

void CCheatDlg::OnRemoveLine() {
    const int row = codes_->currentRow();
    if (row < 0) return;
    delete codes_->takeItem(row);
    if (codes_->count() > 0) codes_->setCurrentRow(std::min(row, codes_->count() - 1));
}

void CCheatDlg::OnSelectLine() {
    const QListWidgetItem* item = codes_->currentItem();
    if (!item) return;
    const QString line = item->text();
    const auto tab = line.indexOf(QLatin1Char('\t'));
    address_->setText(tab < 0 ? line : line.left(tab));
    value_->setText(tab < 0 ? QString() : line.mid(tab + 1));
}

void CCheatDlg::Refuse(QWidget* field) {
    QApplication::beep();
    field->setFocus();
}

void CCheatDlg::OnOK() {
    if (codes_->count() == 0) return Refuse(codes_);
    const std::string name = FromQt(name_->text());
    std::optional<CheatRef> target;
    if (mode_ == Mode::Add) {
        const std::string id = FromQt(id_->text());
        const std::string game = FromQt(game_->text());
        // Nine characters for a new identifier; a selected game keeps its own.
        if (id_->isEnabled() && id.size() != kLicenseeIdLength) return Refuse(id_);
        if (game.empty()) return Refuse(game_);
        if (name.empty()) return Refuse(name_);
        target = library_.FindCheat(id + "|" + game, name);
        if (target) {
            if (prompter_.Ask("Cheat already exists! Continue?", "Add cheat", PromptIcon::Exclamation,
                              PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes)
                return;
        } else {
            target = library_.AddCheat(id, game, name + "\r\n");
        }
    } else {
        if (!selected_ || !library_.Valid(*selected_) || !selected_->isCheat()) return reject();
        target = selected_;
    }
    std::string data = name + "\r\n";
    for (int row = 0; row < codes_->count(); ++row) data += FromQt(codes_->item(row)->text()) + "\r\n";
    library_.SetCheatData(*target, std::move(data));
    if (!library_.Save())
        prompter_.Tell("Cheat codes could not be written to Codes.txt!", "Cheat codes", PromptIcon::Stop);
    written_ = target;
    accept();
}

}  // namespace dravolo::tool
