// DOS masks. The input is a name and a mask split at the first NUL. Matching
// ignores case as Windows does; a star matches every name; a "*.ext" mask
// (no other wildcard, no final dot: the quick suffix test) matches what
// "**.ext" matches through the general matcher (for other masks the two need
// not agree: "*.?" and "**.?", "*." and "**." differ in Windows too); a plain
// name matches itself. Every match ends
// in bounded time (libFuzzer's -timeout catches one that does not).

#include <algorithm>

#include "common/base/text.h"
#include "common/platform/winfs.h"
#include "tests/fuzz/fuzz_check.h"

using namespace dravolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    const std::size_t split = std::min(input.find('\0'), input.size());
    const std::string_view name = input.substr(0, split);
    const std::string_view mask = split < input.size() ? input.substr(split + 1) : std::string_view();

    const bool match = MatchesDosMask(name, mask);
    FUZZ_CHECK(MatchesDosMask(UpperAnsi(name), mask) == match);
    FUZZ_CHECK(MatchesDosMask(name, LowerAnsi(mask)) == match);
    FUZZ_CHECK(MatchesDosMask(name, "*"));
    if (mask.size() >= 3 && mask[0] == '*' && mask[1] == '.' && mask.back() != '.' &&
        mask.find_first_of("*?", 1) == std::string_view::npos)
        FUZZ_CHECK(MatchesDosMask(name, "*" + std::string(mask)) == match);

    const bool plain =
        !name.empty() && name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-") ==
                             std::string_view::npos;
    if (plain) {
        FUZZ_CHECK(MatchesDosMask(name, name));
        FUZZ_CHECK(MatchesDosMask(std::string(name) + ".mcr", "*.mcr"));
        FUZZ_CHECK(MatchesDosMask(std::string(name) + ".mcr", std::string(name) + ".*"));
    }
    return 0;
}
