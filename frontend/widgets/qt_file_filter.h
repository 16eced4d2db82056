#pragma once
// The framework-style file filters of the front end ("Text|*.txt|All|*.*|")
// as Qt's file dialogs want them, and the options our file dialogs share.

#include <QFileDialog>
#include <QString>
#include <string_view>

namespace dravolo {

// "Psx Bios (*.bin)|*.bin|All files(*.*)|*.*|" ->
// "Psx Bios (*.bin) (*.bin);;All files(*.*) (*)": Qt reads the patterns from
// the last parenthesised group of each entry, and the dialogs show the label
// without it (FileDialogOptions). "*.*" becomes "*": on Windows both match
// every file, elsewhere only "*" matches a name without an extension.
QString FilterToQt(std::string_view framework);

// Every file dialog of ours: each filter shows its label once, as written.
QFileDialog::Options FileDialogOptions();

}  // namespace dravolo
