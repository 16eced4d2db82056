#include "common/platform/windows_api.h"

#include <shellapi.h>

#include "common/base/text.h"
#include "common/platform/console.h"

namespace dravolo {

std::vector<std::string> Utf8ProgramArguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) args.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
        LocalFree(wide);
    }
    return args;
}

bool StandardInputIsInteractive() { return false; }
bool StandardErrorIsInteractive() { return false; }

}  // namespace dravolo
