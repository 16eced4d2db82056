#pragma once
// A builder's card as the library's in-memory image.

#include <algorithm>
#include <memory>

#include "common/memcard/card_layout.h"
#include "tests/support/card_builder.h"

namespace dravolo::memcard {

inline std::unique_ptr<CardImage> ImageOf(const test::CardBuilder& builder) {
    auto card = std::make_unique<CardImage>();
    std::copy(builder.bytes().begin(), builder.bytes().end(), card->begin());
    return card;
}

}  // namespace dravolo::memcard
