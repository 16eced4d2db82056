#include "frontend/widgets/CSheetPage.h"

namespace dravolo {

void CSheetPage::EnsureInitialised() {
    if (initialised_) return;
    initialised_ = true;
    OnInitPage();
}

void CSheetPage::SetModified(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

}  // namespace dravolo
