#include "common/platform/local_time.h"

namespace dravolo {

std::optional<std::tm> LocalTimeOf(std::time_t when) {
    std::tm local{};
    if (!localtime_r(&when, &local)) return std::nullopt;
    return local;
}

}  // namespace dravolo
