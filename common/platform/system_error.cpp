#include "common/platform/system_error.h"

#include "common/platform/last_error.h"

namespace dravolo {

void SetSystemError(Error* error, std::string_view operation, std::string_view path, unsigned long code) {
    if (!error) return;
    SetError(error, operation, path, code, SystemErrorText(code));
}

void SetLastSystemError(Error* error, std::string_view operation, std::string_view path) {
    const unsigned long code = SystemLastError();  // before anything else can change it
    SetSystemError(error, operation, path, code);
}

}  // namespace dravolo
