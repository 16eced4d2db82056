// The plugin host's frames. Every payload that decodes encodes to the same
// bytes (nothing the other side sent is lost or changed on the way), and a
// whole frame is its length and that payload.

#include "common/base/bytes.h"
#include "common/psemu/plugin_host_protocol.h"
#include "tests/fuzz/fuzz_check.h"

using namespace dravolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> payload(data, size);
    const auto message = pluginhost::Decode(payload);
    if (!message) return 0;
    const Bytes encoded = pluginhost::Encode(*message);
    FUZZ_CHECK(encoded.size() == size && std::equal(encoded.begin(), encoded.end(), data));
    const Bytes frame = pluginhost::Frame(*message);
    FUZZ_CHECK(frame.size() == size + 4 && LoadU32(frame.data()) == size);
    FUZZ_CHECK(std::equal(frame.begin() + 4, frame.end(), data));
    return 0;
}
