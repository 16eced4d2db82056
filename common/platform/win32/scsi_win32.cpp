// Windows: both ways to a drive exist; which one serves is the user's choice.

#include "common/platform/scsi.h"

namespace dravolo {

std::unique_ptr<ScsiTransport> OpenPassThroughTransport();
std::unique_ptr<ScsiTransport> OpenAspiTransport();

std::unique_ptr<ScsiTransport> OpenNativeScsiTransport(ScsiInterface which) {
    return which == ScsiInterface::Aspi ? OpenAspiTransport() : OpenPassThroughTransport();
}

}  // namespace dravolo
