#pragma once
// The AdriPSX option page. AdriPSX takes no memory-card paths from us: the
// card controls exist but stay hidden and disabled, carrying the fields.

#include "frontend/options/COptionPageBase.h"
#include "frontend/profiles/records.h"

namespace dravolo {

class CAdripsxOptions : public COptionPageT<_ADRIPSXDATA> {
public:
    CAdripsxOptions(SheetContext& context, QWidget* parent = nullptr);

    QComboBox* padCombo() const { return pad_; }
    QPushButton* padConfig() const { return config_; }

protected:
    void OnInitPage() override;

private:
    QComboBox* pad_ = nullptr;
    QPushButton* config_ = nullptr;
};

}  // namespace dravolo
