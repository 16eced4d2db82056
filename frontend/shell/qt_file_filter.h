#pragma once
// The framework-style file filters of the front end ("Text|*.txt|All|*.*|")
// as Qt's file dialogs want them.

#include <QString>
#include <string_view>

namespace dravolo {

// "Bitmap Files (*.bmp)|*.bmp|All files(*.*)|*.*|" ->
// "Bitmap Files (*.bmp) (*.bmp);;All files(*.*) (*.*)": Qt reads the patterns
// from the last parenthesised group of each entry.
QString FilterToQt(std::string_view framework);

}  // namespace dravolo
