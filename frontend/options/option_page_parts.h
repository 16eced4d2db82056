#pragma once
// Small builders the option pages share beyond the base class: the CPU radio
// pair and the "Country Settings" group.

#include <QString>
#include <array>
#include <string_view>

class QComboBox;
class QGroupBox;
class QRadioButton;

namespace dravolo {

inline constexpr const char* kCompilerText = "Compiler (faster, lower compatibility)";
inline constexpr const char* kInterpreterText = "Interpreter (slower, higher compatibility)";

// "CPU Options" with two radio buttons (first 0, second 1).
QGroupBox* MakeCpuGroup(const char* first, const char* second, QRadioButton*& firstButton, QRadioButton*& secondButton);
// "Country Settings" with "Country:" and a drop-down list of the entries.
template <std::size_t N>
QGroupBox* MakeCountryGroup(const std::array<std::string_view, N>& entries, QComboBox*& combo);
QGroupBox* MakeCountryGroupOf(const std::string_view* entries, std::size_t count, QComboBox*& combo);

template <std::size_t N>
QGroupBox* MakeCountryGroup(const std::array<std::string_view, N>& entries, QComboBox*& combo) {
    return MakeCountryGroupOf(entries.data(), N, combo);
}

}  // namespace dravolo
