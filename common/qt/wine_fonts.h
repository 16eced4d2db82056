#pragma once
// Under Wine, Qt's default (GDI) font engine draws no text in line edits:
// what the user types stays invisible. Before the QApplication exists, a
// windowed program asks Qt for its FreeType engine there instead, unless the
// user chose a platform (QT_QPA_PLATFORM, or -platform, which wins anyway).

namespace dravolo {

void PreferFreeTypeFontsUnderWine(bool underWine);

}  // namespace dravolo
