#pragma once
// The FPSE option page. Besides the profile record it keeps the profile's
// FPSE settings file up to date, which FPSE and its plugins read.

#include "frontend/options/COptionPageBase.h"
#include "frontend/profiles/records.h"

class QScrollBar;
class QSlider;

namespace dravolo {

class CFpseOptions : public COptionPageT<_FPSEDATA> {
public:
    CFpseOptions(SheetContext& context, QWidget* parent = nullptr);

    void OnOK() override;
    // Writes the page's values into the profile's settings file (nothing
    // without a profile name).
    bool WriteSettingsFile();
    // The cache size arrows: +1 adds 16, -1 takes 16 away, within 0..1024.
    void StepCacheSize(int direction);

    QComboBox* padCombo(int pad) const { return pad == 0 ? pad1_ : pad2_; }
    QPushButton* padConfig(int pad) const { return pad == 0 ? config1_ : config2_; }
    QComboBox* countryCombo() const { return country_; }
    QLineEdit* cacheSizeEdit() const { return cacheSize_; }
    QScrollBar* cacheArrows() const { return cacheArrows_; }
    QSlider* speedSlider() const { return speed_; }
    QCheckBox* mode2Check() const { return mode2_; }
    QCheckBox* showGenCodeCheck() const { return showGenCode_; }
    QCheckBox* cacheCheck() const { return useCache_; }
    QRadioButton* compilerButton() const { return compiler_; }
    QRadioButton* interpreterButton() const { return interpreter_; }

protected:
    void OnInitPage() override;

private:
    void UpdateEnabling();
    void OnPadConfig(int pad);

    QComboBox* pad1_ = nullptr;
    QComboBox* pad2_ = nullptr;
    QPushButton* config1_ = nullptr;
    QPushButton* config2_ = nullptr;
    QComboBox* country_ = nullptr;
    QLineEdit* cacheSize_ = nullptr;
    QScrollBar* cacheArrows_ = nullptr;
    QSlider* speed_ = nullptr;
    QCheckBox* mode2_ = nullptr;
    QCheckBox* showGenCode_ = nullptr;
    QCheckBox* useCache_ = nullptr;
    QRadioButton* compiler_ = nullptr;
    QRadioButton* interpreter_ = nullptr;
};

}  // namespace dravolo
