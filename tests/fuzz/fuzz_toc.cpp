// The CD's table of contents (a READ TOC answer). Only descriptors inside the
// answer are read, never more than the last track number says; written back
// into an answer of our own, the entries decode to themselves.

#include "frontend/cdimage/cd_access.h"
#include "tests/fuzz/fuzz_check.h"

using namespace dravolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<TocEntry> entries = DecodeTocAddresses(data, size);
    if (size < 4) {
        FUZZ_CHECK(entries.empty());
        return 0;
    }
    FUZZ_CHECK(entries.size() <= data[3] && entries.size() <= (size - 4) / 8);

    std::vector<std::uint8_t> answer(4 + 8 * entries.size(), 0);
    answer[3] = static_cast<std::uint8_t>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        FUZZ_CHECK(entries[i].track == i);
        std::uint8_t* d = answer.data() + 4 + 8 * i;
        d[1] = entries[i].dataTrack ? 0x14 : 0x10;
        const auto start = static_cast<std::uint32_t>(entries[i].start);
        d[4] = static_cast<std::uint8_t>(start >> 24);
        d[5] = static_cast<std::uint8_t>(start >> 16);
        d[6] = static_cast<std::uint8_t>(start >> 8);
        d[7] = static_cast<std::uint8_t>(start);
    }
    FUZZ_CHECK(DecodeTocAddresses(answer.data(), answer.size()) == entries);
    return 0;
}
