// libFuzzer target for the texts a search is made of: the query encoding of the
// typed film name and join texts, over the run time's own allocator but
// without its windows. Every input is checked against the properties below;
// a failed check aborts, and libFuzzer keeps the input that did it.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "search_window/texts.h"

namespace rt {

// The allocator reports exhaustion through the run time's fatal error. Here no
// allocation is allowed to fail, so reaching it is a finding.
void fatal_error(std::string_view message) {
    std::fprintf(stderr, "fatal error: %.*s\n", static_cast<int>(message.size()), message.data());
    std::abort();
}

}  // namespace rt

namespace {

using search_window::encode_query_value;
using search_window::join_texts;
using search_window::text_length;

void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

bool is_unreserved(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

int upper_hex_value(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

// Undoes the encoding, accepting only what the encoder may write: unreserved
// bytes as they are and every other byte as %XX with upper-case digits.
std::optional<std::string> strict_decode(std::string_view encoded) {
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        auto byte = static_cast<unsigned char>(encoded[i]);
        if (is_unreserved(byte)) {
            decoded += encoded[i];
            continue;
        }
        if (byte != '%' || i + 2 >= encoded.size()) return {};
        int high = upper_hex_value(encoded[i + 1]);
        int low = upper_hex_value(encoded[i + 2]);
        if (high < 0 || low < 0) return {};
        auto decoded_byte = static_cast<unsigned char>(high * 16 + low);
        if (is_unreserved(decoded_byte)) return {};  // would have been written as it is
        decoded += static_cast<char>(decoded_byte);
        i += 2;
    }
    return decoded;
}

// The text as the run time sees it: the bytes before the first zero byte.
std::string_view as_text(const char* text) {
    return text == nullptr ? "" : text;
}

void check_encoding(const std::string& typed) {
    const std::string_view text = as_text(typed.c_str());
    rt::testing::fail_allocations_after(1);  // the encoding takes one block
    rt::Text encoded = encode_query_value(typed.c_str());
    rt::testing::fail_allocations_after(-1);
    if (text.empty()) {
        require(encoded == nullptr, "an empty text encodes to no text");
        return;
    }
    require(encoded != nullptr, "a text encodes to a text");
    std::optional<std::string> decoded = strict_decode(encoded.get());
    require(decoded.has_value(), "the encoding holds only unreserved bytes and %XX");
    require(*decoded == text, "decoding the encoding gives the typed bytes back");
}

struct Piece {
    bool absent = true;
    std::string bytes;  // may hold zero bytes: the text ends at the first one
    const char* text() const { return absent ? nullptr : bytes.c_str(); }
};

rt::Text join(const std::vector<Piece>& pieces) {
    switch (pieces.size()) {
        case 1:
            return join_texts(pieces[0].text());
        case 2:
            return join_texts(pieces[0].text(), pieces[1].text());
        case 3:
            return join_texts(pieces[0].text(), pieces[1].text(), pieces[2].text());
        default:
            return join_texts(pieces[0].text(), pieces[1].text(), pieces[2].text(),
                              pieces[3].text());
    }
}

void check_join(FuzzedDataProvider& input) {
    std::vector<Piece> pieces(input.ConsumeIntegralInRange<std::size_t>(1, 4));
    std::string expected;
    std::size_t length_sum = 0;
    for (Piece& piece : pieces) {
        piece.absent = input.ConsumeBool();
        if (!piece.absent) piece.bytes = input.ConsumeRandomLengthString(64);
        expected += as_text(piece.text());
        length_sum += text_length(piece.text());
    }
    rt::testing::fail_allocations_after(1);  // one block of the final size, nothing more
    rt::Text joined = join(pieces);
    rt::testing::fail_allocations_after(-1);
    require(joined != nullptr, "the join is always a text");
    require(text_length(joined.get()) == length_sum, "the join's length is the sum of the lengths");
    require(as_text(joined.get()) == expected, "the join is the pieces one after another");
}

// What the search action builds: the prefix followed by the encoded film name.
void check_search_address(const std::string& typed) {
    static constexpr const char* kPrefix = "http://h/so.asp?k=";
    rt::Text value = encode_query_value(typed.c_str());
    rt::Text address = join_texts(kPrefix, value.get());
    const std::string_view whole = as_text(address.get());
    require(whole.starts_with(kPrefix), "the address starts with the prefix");
    std::optional<std::string> decoded =
        strict_decode(whole.substr(std::string_view(kPrefix).size()));
    require(decoded == as_text(typed.c_str()), "the address ends with the typed text, encoded");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string typed(reinterpret_cast<const char*>(data), size);
    check_encoding(typed);
    check_search_address(typed);
    FuzzedDataProvider input(data, size);
    check_join(input);
    return 0;
}
