#include "optionslib/core/start_error.h"

namespace dravolo::kstuff {

unsigned long LastErrorFor(EmuStartError error, unsigned long startError) {
    switch (error) {
    case EmuStartError::None: return 0;
    case EmuStartError::EmptyExecutable:
    case EmuStartError::QuoteInArgument: return SystemErrorCode(SystemErrorKind::InvalidParameter);
    case EmuStartError::ValueTooLong: return SystemErrorCode(SystemErrorKind::TextTooLong);
    case EmuStartError::CommandLineTooLong: return SystemErrorCode(SystemErrorKind::NameTooLong);
    case EmuStartError::NotStarted: return startError != 0 ? startError : SystemErrorCode(SystemErrorKind::NotFound);
    }
    return SystemErrorCode(SystemErrorKind::InvalidParameter);
}

}  // namespace dravolo::kstuff
