#pragma once
// Byte and character conversions the service needs: query values arrive as
// percent-encoded code page 936 (GB18030) bytes, pages are written in UTF-8
// and go out in code page 936.

#include <optional>
#include <string>
#include <string_view>

namespace sample_service {

// Decodes a query value the way form fields are decoded: "%XX" becomes the byte,
// "+" a space. A "%" that is not followed by two hex digits is kept as it is,
// because the program sends typed text unencoded and "100%" must still work.
std::string decode_query_value(std::string_view encoded);

// Percent-encodes every byte except the unreserved ones (letters, digits, "-._~").
std::string percent_encode(std::string_view bytes);

// The raw (still encoded) value of the first "key=" parameter of a query.
std::optional<std::string_view> find_query_value(std::string_view query, std::string_view key);

// GB18030 bytes to UTF-8; each undecodable byte becomes U+FFFD.
std::string gb18030_to_utf8(std::string_view bytes);

// UTF-8 to code page 936; characters it lacks become HTML character references,
// so every searched name still shows correctly in the page.
std::string utf8_to_cp936_html(std::string_view utf8);

// UTF-8 to GB18030, which can represent every character (used for links).
std::string utf8_to_gb18030(std::string_view utf8);

// Escapes text for HTML element content and double-quoted attributes.
std::string html_escape(std::string_view text);

}  // namespace sample_service
