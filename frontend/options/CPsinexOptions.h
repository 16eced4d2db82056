#pragma once
// The PSinex option page.

#include "frontend/options/COptionPageBase.h"
#include "frontend/profiles/records.h"

namespace dravolo {

class CPsinexOptions : public COptionPageT<_PSINEXDATA> {
public:
    CPsinexOptions(SheetContext& context, QWidget* parent = nullptr);

    QComboBox* padCombo() const { return pad_; }
    QPushButton* padConfig() const { return config_; }

protected:
    void OnInitPage() override;

private:
    QComboBox* pad_ = nullptr;
    QPushButton* config_ = nullptr;
};

}  // namespace dravolo
