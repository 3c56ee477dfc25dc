#include "tools/sample_service/text_codec.h"

#include <glib.h>
#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>
#include <string>

namespace sample_service {
namespace {

int hex_digit_value(char digit) {
    return g_ascii_isxdigit(digit) ? g_ascii_xdigit_value(digit) : -1;
}

// One iconv conversion descriptor, closed when it goes out of scope.
class Converter {
  public:
    Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {
        if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(descriptor_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns how the conversion stopped (0 or errno).
    int convert(std::string_view& input, std::string& output) {
        std::array<char, 4096> buffer{};
        while (!input.empty()) {
            char* in = const_cast<char*>(input.data());
            size_t in_left = input.size();
            char* out = buffer.data();
            size_t out_left = buffer.size();
            const size_t result = iconv(descriptor_, &in, &in_left, &out, &out_left);
            const int error = result == static_cast<size_t>(-1) ? errno : 0;
            output.append(buffer.data(), buffer.size() - out_left);
            input.remove_prefix(input.size() - in_left);
            if (error != 0 && error != E2BIG) return error;
        }
        return 0;
    }

  private:
    iconv_t descriptor_;
};

std::string character_reference(gunichar character) {
    return "&#" + std::to_string(character) + ";";
}

}  // namespace

std::string decode_query_value(std::string_view encoded) {
    std::string decoded;
    decoded.reserve(encoded.size());
    for (size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%' && i + 2 < encoded.size() && hex_digit_value(encoded[i + 1]) >= 0 &&
                   hex_digit_value(encoded[i + 2]) >= 0) {
            decoded += static_cast<char>(hex_digit_value(encoded[i + 1]) * 16 +
                                         hex_digit_value(encoded[i + 2]));
            i += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}

std::string percent_encode(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (g_ascii_isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
        }
    }
    return encoded;
}

std::optional<std::string_view> find_query_value(std::string_view query, std::string_view key) {
    while (!query.empty()) {
        const size_t end = query.find('&');
        const std::string_view parameter = query.substr(0, end);
        if (parameter.size() > key.size() && parameter.starts_with(key) &&
            parameter[key.size()] == '=') {
            return parameter.substr(key.size() + 1);
        }
        if (parameter == key) return std::string_view{};
        if (end == std::string_view::npos) break;
        query.remove_prefix(end + 1);
    }
    return std::nullopt;
}

std::string gb18030_to_utf8(std::string_view bytes) {
    Converter converter("UTF-8", "GB18030");
    std::string utf8;
    while (!bytes.empty()) {
        if (converter.convert(bytes, utf8) == 0) break;
        utf8 += "\xEF\xBF\xBD";  // U+FFFD for the byte that cannot start a character
        bytes.remove_prefix(1);
    }
    return utf8;
}

std::string utf8_to_cp936_html(std::string_view utf8) {
    Converter converter("CP936", "UTF-8");
    std::string cp936;
    while (!utf8.empty()) {
        if (converter.convert(utf8, cp936) == 0) break;
        const gunichar character = g_utf8_get_char_validated(utf8.data(), utf8.size());
        if (character == static_cast<gunichar>(-1) || character == static_cast<gunichar>(-2)) {
            cp936 += '?';
            utf8.remove_prefix(1);
            continue;
        }
        cp936 += character_reference(character);
        utf8.remove_prefix(g_utf8_next_char(utf8.data()) - utf8.data());
    }
    return cp936;
}

std::string utf8_to_gb18030(std::string_view utf8) {
    Converter converter("GB18030", "UTF-8");
    std::string gb18030;
    converter.convert(utf8, gb18030);
    return gb18030;
}

std::string html_escape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace sample_service
