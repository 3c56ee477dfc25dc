#include "search_window/texts.h"

namespace search_window {
namespace {

bool is_unreserved(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

}  // namespace

std::size_t text_length(const char* text) {
    return text == nullptr ? 0 : std::strlen(text);
}

rt::Text encode_query_value(const char* text) {
    std::size_t length = text_length(text);
    if (length == 0) return nullptr;
    constexpr char kHexDigits[] = "0123456789ABCDEF";
    rt::Text encoded(rt::allocate_text(3 * length + 1));
    char* out = encoded.get();
    for (std::size_t i = 0; i < length; ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (is_unreserved(byte)) {
            *out++ = static_cast<char>(byte);
        } else {
            *out++ = '%';
            *out++ = kHexDigits[byte >> 4];
            *out++ = kHexDigits[byte & 0x0F];
        }
    }
    *out = '\0';
    return encoded;
}

}  // namespace search_window
