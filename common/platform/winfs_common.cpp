// The parts of winfs.h that do not depend on the operating system.

#include "common/platform/winfs.h"

namespace dravolo {

bool WinFile::ReadAll(std::size_t count, Bytes& out) {
    out.clear();
    out.resize(count);
    std::size_t total = 0;
    while (total < count) {
        std::size_t got = 0;
        if (!Read(out.data() + total, count - total, got)) {
            out.resize(total);
            return false;
        }
        if (got == 0) break;  // end of file
        total += got;
    }
    out.resize(total);
    return true;
}

std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace dravolo
