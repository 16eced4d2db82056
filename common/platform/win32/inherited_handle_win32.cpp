#include "common/platform/windows_api.h"

#include "common/platform/inherited_handle.h"

namespace dravolo {

bool WriteAllToInheritedHandle(std::int64_t handle, const std::uint8_t* data, std::size_t size) {
    HANDLE target = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle));
    DWORD written = 0;
    return WriteFile(target, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

}  // namespace dravolo
