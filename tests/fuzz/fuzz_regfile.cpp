// regedit files. Whatever imports: exported again, the file imports, and to
// the same keys and values; a file that does not import changes nothing.

#include "common/platform/regfile.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/memory_registry.h"

using namespace dravolo;

namespace {

fuzz::MemoryRegistry ReimportExport(fuzz::MemoryRegistry& from) {
    fuzz::MemoryRegistry to;
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
        auto exported = ExportRegistryKey(from, root, "");
        FUZZ_CHECK(exported.has_value());
        FUZZ_CHECK(ImportRegistryData(to, *exported) == RegImportResult::Ok);
    }
    return to;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::MemoryRegistry first;
    const RegImportResult result = ImportRegistryData(first, {data, size});
    FUZZ_CHECK(result == RegImportResult::Ok || result == RegImportResult::BadFormat);
    if (result != RegImportResult::Ok) {
        FUZZ_CHECK(first.EnumSubkeys(RegRoot::CurrentUser, "")->empty());
        FUZZ_CHECK(first.EnumSubkeys(RegRoot::LocalMachine, "")->empty());
        return 0;
    }
    fuzz::MemoryRegistry second = ReimportExport(first);
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine})
        FUZZ_CHECK(fuzz::SameContents(first.root(root), second.root(root)));
    // And once more: the export of what we imported is the same file.
    fuzz::MemoryRegistry third = ReimportExport(second);
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine})
        FUZZ_CHECK(ExportRegistryKey(second, root, "") == ExportRegistryKey(third, root, ""));
    return 0;
}
