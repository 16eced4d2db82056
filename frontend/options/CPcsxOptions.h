#pragma once
// The PCSX option page.

#include "frontend/options/COptionPageBase.h"
#include "frontend/profiles/records.h"

namespace dravolo {

class CPcsxOptions : public COptionPageT<_PCSXDATA> {
public:
    CPcsxOptions(SheetContext& context, QWidget* parent = nullptr);

    QComboBox* padCombo(int pad) const { return pad == 0 ? pad1_ : pad2_; }
    QPushButton* padConfig(int pad) const { return pad == 0 ? config1_ : config2_; }
    QComboBox* countryCombo() const { return country_; }

protected:
    void OnInitPage() override;

private:
    QComboBox* pad1_ = nullptr;
    QComboBox* pad2_ = nullptr;
    QPushButton* config1_ = nullptr;
    QPushButton* config2_ = nullptr;
    QComboBox* country_ = nullptr;
};

}  // namespace dravolo
