// Profile pictures (.bmp). Whatever decodes gives both icons at their sizes
// with every pixel opaque or (the transparent magenta) fully transparent, and
// the same bytes decode to the same pictures.

#include "frontend/shell/profile_picture.h"
#include "tests/fuzz/fuzz_check.h"

using namespace dravolo;

namespace {

void CheckIcon(const IconImage& icon, int size) {
    FUZZ_CHECK(icon.size == size);
    FUZZ_CHECK(icon.pixels.size() == static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (std::uint32_t p : icon.pixels) FUZZ_CHECK((p >> 24) == 0 || (p >> 24) == 0xFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = DecodeProfilePicture({data, size});
    if (!picture) return 0;
    CheckIcon(picture->large, kLargeIconSize);
    CheckIcon(picture->small, kSmallIconSize);
    const auto again = DecodeProfilePicture({data, size});
    FUZZ_CHECK(again && again->large.pixels == picture->large.pixels && again->small.pixels == picture->small.pixels);
    return 0;
}
