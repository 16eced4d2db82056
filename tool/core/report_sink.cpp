// The report goes to a handle the caller let the tool inherit: a HANDLE on
// Windows, a file descriptor number elsewhere.

#include "common/platform/inherited_handle.h"
#include "tool/core/report.h"

namespace dravolo::tool {

bool WriteReportRecord(std::int64_t handle, const Bytes& record) {
    return WriteAllToInheritedHandle(handle, record.data(), record.size());
}

}  // namespace dravolo::tool
