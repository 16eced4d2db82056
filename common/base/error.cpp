#include "common/base/error.h"

namespace dravolo {

std::string Error::Describe() const {
    if (!IsSet()) return {};
    if (path.empty()) return cause;
    return path + ": " + cause;
}

void SetError(Error* error, std::string_view operation, std::string_view path, unsigned long code,
              std::string_view cause) {
    if (!error) return;
    error->operation = operation;
    error->path = path;
    error->code = code;
    error->cause = cause;
}

}  // namespace dravolo
