#pragma once
// The ePSXe option page.

#include "frontend/options/COptionPageBase.h"
#include "frontend/profiles/records.h"

namespace dravolo {

class COptionsPage : public COptionPageT<_EPSXEDATA> {
public:
    COptionsPage(SheetContext& context, QWidget* parent = nullptr);

    void OnOK() override;
    QComboBox* cdrDriveCombo() const { return cdrDrive_; }
    QComboBox* countryCombo() const { return country_; }

protected:
    void OnInitPage() override;

private:
    QComboBox* cdrDrive_ = nullptr;
    QComboBox* country_ = nullptr;
};

}  // namespace dravolo
