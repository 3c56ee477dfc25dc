#include "tools/sample_service/search_site.h"

#include "tools/sample_service/pages.h"
#include "tools/sample_service/text_codec.h"

#include <glib.h>

#include <memory>
#include <string_view>

namespace sample_service {
namespace {

constexpr std::size_t kBigPageSize = 50 * 1000 * 1000;
constexpr int kPopupCount = 50;
constexpr std::chrono::milliseconds kSlowAnswerDelay{3000};

struct Target {
    std::string_view path;
    std::string_view query;
};

// Splits "/p?q" or the absolute form "http://host/p?q" that a proxy receives.
Target split_target(std::string_view target) {
    const std::size_t scheme_end = target.find("://");
    if (scheme_end != std::string_view::npos && scheme_end < target.find_first_of("/?")) {
        const std::size_t path_start = target.find_first_of("/?", scheme_end + 3);
        target = path_start == std::string_view::npos ? std::string_view{"/"}
                                                      : target.substr(path_start);
    }
    const std::size_t query_start = target.find('?');
    if (query_start == std::string_view::npos) return {target, {}};
    return {target.substr(0, query_start), target.substr(query_start + 1)};
}

// Paths are matched without regard to case, as the service's own server does.
bool same_path(std::string_view path, std::string_view expected) {
    return path.size() == expected.size() &&
           g_ascii_strncasecmp(path.data(), expected.data(), path.size()) == 0;
}

FilmName film_from_query(std::string_view query) {
    const std::string bytes = decode_query_value(find_query_value(query, "k").value_or(""));
    return {gb18030_to_utf8(bytes), percent_encode(bytes)};
}

std::string query_text(std::string_view query, std::string_view key) {
    return gb18030_to_utf8(decode_query_value(find_query_value(query, key).value_or("")));
}

Response html(const std::string& utf8_page) {
    return Response::with_body(utf8_to_cp936_html(utf8_page));
}

// Produces the big page block by block while it is sent: head, rows until the
// size is reached, tail.
Response big_results_page(const FilmName& film) {
    Response response;
    response.next_body_piece = [film, sent = std::size_t{0}, row = 0LL,
                                done = false]() mutable -> std::optional<std::string> {
        if (done) return std::nullopt;
        std::string piece;
        if (row == 0) piece = results_page_head(film, "big", 0);
        while (piece.size() < 64 * 1024 && sent + piece.size() < kBigPageSize) {
            piece += result_block(film, ++row);
        }
        if (sent + piece.size() >= kBigPageSize) {
            piece += results_page_tail();
            done = true;
        }
        sent += piece.size();
        return utf8_to_cp936_html(piece);
    };
    return response;
}

Response results(const FilmName& film) {
    if (film.text == "__hang__") {
        Response response;
        response.timing = Response::Timing::never;
        return response;
    }
    if (film.text == "__big__") return big_results_page(film);
    if (film.text == "__popups__") return html(popups_page(film, kPopupCount));
    Response response = html(results_page(film));
    if (film.text == "__slow__") {
        response.timing = Response::Timing::after_delay;
        response.delay = kSlowAnswerDelay;
    }
    return response;
}

Response beacon_received() {
    Response response = Response::with_body("");
    response.status = 204;
    response.reason = "No Content";
    response.content_type.clear();
    return response;
}

Response not_found(std::string_view target) {
    Response response = html(not_found_page(gb18030_to_utf8(target)));
    response.status = 404;
    response.reason = "Not Found";
    return response;
}

}  // namespace

Response answer_request(const Request& request) {
    const Target target = split_target(request.target);
    if (same_path(target.path, "/so.asp")) return results(film_from_query(target.query));
    if (same_path(target.path, "/play.asp")) {
        return html(play_page(film_from_query(target.query), query_text(target.query, "id"),
                              query_text(target.query, "ep")));
    }
    if (same_path(target.path, "/beacon")) return beacon_received();
    if (same_path(target.path, "/") || same_path(target.path, "/index.html")) {
        return html(home_page());
    }
    return not_found(request.target);
}

}  // namespace sample_service
