#pragma once
// The dialog's exchange with the registry. Loading also puts the stored pad
// settings into ePSXe's key, so that ePSXe started from the pad button shows
// this configuration's pads; saving copies back whatever the user set there.

#include "common/platform/registry.h"
#include "optionslib/core/option_values.h"

namespace dravolo::kstuff {

// Reads the interface key without creating it. A missing key or value leaves
// the default; text values longer than kMaxTextLength are left at their
// default too. When the key exists, its Pad values present are written to
// ePSXe's key (created when missing) in one batch.
OptionValues LoadDialogOptions(Registry& registry);

// Writes every option into the interface key (created when missing), then
// copies the ePSXe pad values present into the Pad values, all in one batch.
// A missing ePSXe key leaves the Pad values as they were. False when the
// registry could not be written (the dialog does not report it).
bool SaveDialogOptions(Registry& registry, const OptionValues& values);

}  // namespace dravolo::kstuff
