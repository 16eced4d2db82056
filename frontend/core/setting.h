#pragma once
// One setting of the front end: its name and its default, written once. The
// settings store reads and writes a setting through this, so no caller
// repeats the default.

#include <string_view>

namespace dravolo {

struct IntSetting {  // REG_DWORD
    std::string_view name;
    int defaultValue;
};

struct TextSetting {  // REG_SZ
    std::string_view name;
    std::string_view defaultValue;
};

}  // namespace dravolo
