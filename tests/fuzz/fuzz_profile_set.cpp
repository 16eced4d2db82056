// Profile .set files of all five kinds (the input's first byte picks the
// kind). Whatever decodes: encoded, it decodes again to a record that encodes
// to the same bytes; the record's fields cut short anywhere are refused, and
// a refused file leaves the record as it was.

#include <variant>

#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_archive.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/records.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/memory_registry.h"

using namespace dravolo;

namespace {

std::size_t TrailerSize() {
    ProfileArchive archive = ProfileArchive::ForStoring();
    archive.StoreTrailer();
    return archive.bytes().size();
}

template <typename Record>
void Check(std::span<const std::uint8_t> file, const Record& defaults, std::size_t seed) {
    Record record = defaults;
    if (!DecodeRecord(file, record)) {
        FUZZ_CHECK(EncodeRecord(record) == EncodeRecord(defaults));  // untouched
        return;
    }
    const Bytes encoded = EncodeRecord(record);
    Record again = defaults;
    FUZZ_CHECK(DecodeRecord(encoded, again));
    FUZZ_CHECK(EncodeRecord(again) == encoded);

    static const std::size_t trailer = TrailerSize();
    FUZZ_CHECK(encoded.size() > trailer);
    const std::size_t fieldsEnd = encoded.size() - trailer;
    const std::span<const std::uint8_t> all(encoded);
    Record cut = defaults;
    FUZZ_CHECK(DecodeRecord(all.first(fieldsEnd), cut));  // the trailer is never read
    for (std::size_t length : {fieldsEnd - 1, fieldsEnd / 2, seed % fieldsEnd, std::size_t{0}}) {
        Record shorter = defaults;
        FUZZ_CHECK(!DecodeRecord(all.first(length), shorter));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static fuzz::MemoryRegistry registry;
    static const SettingsStore settings(registry);
    const EmulatorKind kind = kEmulatorKinds[data[0] % kEmulatorKinds.size()].kind;
    const std::span<const std::uint8_t> file(data + 1, size - 1);
    std::visit([&](const auto& defaults) { Check(file, defaults, size); }, MakeDefaultRecord(kind, settings));
    return 0;
}
