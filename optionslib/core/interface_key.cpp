#include "optionslib/core/interface_key.h"

namespace dravolo::kstuff {

LimitedText ReadLimitedText(Registry& registry, std::string_view keyPath, std::string_view name) {
    const auto value = registry.QueryValue(RegRoot::CurrentUser, keyPath, name);
    if (!value) return {};
    std::string text = RegDataAsText(value->data);
    if (text.size() > kMaxTextLength) return {LimitedText::Status::TooLong, {}};
    return {LimitedText::Status::Present, std::move(text)};
}

}  // namespace dravolo::kstuff
