#pragma once
// Whether this Windows program runs under Wine rather than on Windows itself.
// Some drawing differs there; the native POSIX build never runs under Wine.

namespace dravolo {

bool RunsUnderWine();

}  // namespace dravolo
