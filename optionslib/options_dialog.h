#pragma once
// The ePSXe options dialog: a child panel the host places on one of its own
// pages. It holds the options only in its controls; the exports load them
// from and save them to the registry.

#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "optionslib/core/option_values.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace dravolo::kstuff {

inline constexpr std::string_view kBiosTooLongText =
    "The BIOS path is longer than 259 characters and cannot be stored.\nPlease choose a BIOS file with a shorter "
    "path.";
inline constexpr std::string_view kBiosTooLongCaption = "BIOS";

class OptionsDialog : public QWidget {
public:
    // libraryPath: the library's own Windows path, for the pad button.
    OptionsDialog(QWidget* parent, std::string libraryPath);

    // Fills every control; biosImages become the BIOS list, values.bios its text.
    void ShowValues(const OptionValues& values, const std::vector<std::string>& biosImages);
    OptionValues CurrentValues() const;
    // The values OK stores; nullopt, the user told, when the BIOS path is too
    // long for its 260-byte buffer (it is never cut).
    std::optional<OptionValues> ValuesForOk();

private:
    void BuildLayout();
    void ConfigurePads();

    std::string libraryPath_;
    QComboBox* bios_ = nullptr;
    QComboBox* cdromLetter_ = nullptr;
    QComboBox* country_ = nullptr;
    QLineEdit* cmdLine_ = nullptr;
    QPushButton* padButton_ = nullptr;
    std::array<QCheckBox*, kSwitchCount> switches_{};
};

}  // namespace dravolo::kstuff
