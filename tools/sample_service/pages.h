#pragma once
// The HTML pages of the sample search service, written in UTF-8; the caller
// converts them to code page 936 before sending.

#include <string>
#include <string_view>

namespace sample_service {

// The searched film name, both for showing and for putting into links.
struct FilmName {
    std::string text;         // UTF-8, for the page
    std::string query_value;  // percent-encoded GB18030 bytes, for links back to the service
};

inline constexpr int kNormalResultCount = 12;

// A results page is its head, one block per result, then its tail, so that a very
// large page can be produced piece by piece.
std::string results_page_head(const FilmName& film, std::string_view page_kind,
                              long long result_count);
std::string result_block(const FilmName& film, long long row_number);
std::string results_page_tail();

std::string results_page(const FilmName& film);
std::string play_page(const FilmName& film, std::string_view row, std::string_view episode);
std::string popups_page(const FilmName& film, int window_count);
std::string home_page();
std::string not_found_page(std::string_view target);

}  // namespace sample_service
