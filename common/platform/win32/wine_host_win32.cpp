// Wine's ntdll exports wine_get_version; Windows' never does.

#include "common/platform/windows_api.h"

#include "common/platform/wine_host.h"

namespace dravolo {

bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace dravolo
