#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstring>

#include "runtime/text.h"

// Text length and join texts over the run time's texts. No text (nullptr)
// counts as the empty text.
namespace search_window {

// The bytes before the first zero byte; 0 for no text.
std::size_t text_length(const char* text);

// One fresh text holding the pieces one after another. Each piece is measured
// once and the result is one allocation of exactly 1 + the sum of the lengths;
// a piece that is no text copies nothing and is never read.
template <typename... Pieces>
requires(sizeof...(Pieces) >= 1 && (std::convertible_to<Pieces, const char*> && ...)) rt::Text
    join_texts(Pieces... pieces) {
    const std::array<const char*, sizeof...(Pieces)> texts{pieces...};
    std::array<std::size_t, sizeof...(Pieces)> lengths{};
    std::size_t total = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        lengths[i] = text_length(texts[i]);
        total += lengths[i];
    }
    rt::Text joined(rt::allocate_text(total + 1));
    char* end = joined.get();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (lengths[i] == 0) continue;
        std::memcpy(end, texts[i], lengths[i]);
        end += lengths[i];
    }
    *end = '\0';
    return joined;
}

// The value of a query parameter for the typed text (system code page bytes):
// every byte outside A-Z a-z 0-9 - . _ ~ written as %XX, so that "&", "#",
// "%", "+" and spaces reach the service as typed. No text gives no text.
rt::Text encode_query_value(const char* text);

}  // namespace search_window
