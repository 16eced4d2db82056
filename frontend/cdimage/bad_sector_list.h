#pragma once
// NAME.bad beside an image extracted with unreadable sectors written as
// zeros: the logical block address of each such sector, one a line, in
// ascending order, so that a later pass (or another drive) can fill them in.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dravolo {

// "C:\\games\\tomba.bin" -> "C:\\games\\tomba.bad".
std::string BadSectorListPathFor(std::string_view imagePath);
std::string BuildBadSectorList(const std::vector<std::int32_t>& sectors);
bool WriteBadSectorList(std::string_view imagePath, const std::vector<std::int32_t>& sectors);

}  // namespace dravolo
