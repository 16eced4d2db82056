#include "tests/support/prefix_fixture.h"

#include "tests/support/scratch_windows.h"

namespace dravolo::test {

void PrefixFixture::SetUp() {
    workspace_.emplace();
    if (!ScratchWindows::Allowed())
        GTEST_SKIP() << "changes drive C: and the registry: set DRAVOLO_TEST_SCRATCH_WINDOWS=1 on a throwaway Windows";
}

void PrefixFixture::TearDown() { workspace_.reset(); }

}  // namespace dravolo::test
