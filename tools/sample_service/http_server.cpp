#include "tools/sample_service/http_server.h"

#include <libsoup/soup.h>

#include <array>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace sample_service {
namespace {

constexpr std::size_t kMaxRequestHeadSize = 64 * 1024;

struct SoupHeadersUnref {
    void operator()(SoupMessageHeaders* headers) const { soup_message_headers_unref(headers); }
};

std::string status_line_and_headers(const Response& response) {
    std::string head =
        "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    if (!response.content_type.empty()) head += "Content-Type: " + response.content_type + "\r\n";
    if (response.content_length) {
        head += "Content-Length: " + std::to_string(*response.content_length) + "\r\n";
    }
    // Every load must reach the service (and its log), also for a page seen before.
    return head + "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
}

// The request target of a request line that libsoup would not parse, for the log.
std::string_view raw_target(std::string_view head) {
    const std::string_view line = head.substr(0, head.find_first_of("\r\n"));
    const std::size_t first_space = line.find(' ');
    const std::size_t last_space = line.rfind(' ');
    if (first_space == std::string_view::npos || last_space <= first_space) return line;
    return line.substr(first_space + 1, last_space - first_space - 1);
}

Response bad_request(int status, std::string reason) {
    Response response = Response::with_body(reason + "\n");
    response.status = status;
    response.reason = std::move(reason);
    response.content_type = "text/plain";
    return response;
}

}  // namespace

Response Response::with_body(std::string body) {
    Response response;
    response.content_length = body.size();
    response.next_body_piece = [body = std::move(body), sent = false]() mutable {
        if (sent) return std::optional<std::string>{};
        sent = true;
        return std::optional<std::string>{std::move(body)};
    };
    return response;
}

// One accepted connection: reads the request head, answers once, then closes.
// It owns itself through the server's table and leaves it in finish().
class Connection {
  public:
    Connection(HttpServer& server, GSocketConnection* socket)
        : server_(server), socket_(G_SOCKET_CONNECTION(g_object_ref(socket))) {}
    ~Connection() {
        if (delay_source_ != 0) g_source_remove(delay_source_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start() { read_more(on_head_read); }

  private:
    GInputStream* input() { return g_io_stream_get_input_stream(G_IO_STREAM(socket_.get())); }
    GOutputStream* output() { return g_io_stream_get_output_stream(G_IO_STREAM(socket_.get())); }

    void read_more(GAsyncReadyCallback callback) {
        g_input_stream_read_async(input(), read_buffer_.data(), read_buffer_.size(),
                                  G_PRIORITY_DEFAULT, nullptr, callback, this);
    }

    static void on_head_read(GObject* stream, GAsyncResult* result, gpointer self) {
        static_cast<Connection*>(self)->take_head_bytes(
            g_input_stream_read_finish(G_INPUT_STREAM(stream), result, nullptr));
    }

    void take_head_bytes(gssize count) {
        if (count <= 0) return finish();  // the client left before its request was complete
        head_.append(read_buffer_.data(), static_cast<std::size_t>(count));
        const std::size_t head_end = head_.find("\r\n\r\n");
        if (head_end != std::string::npos) return handle_request(head_end + 2);
        if (head_.size() > kMaxRequestHeadSize) {
            return answer(bad_request(431, "Request Header Fields Too Large"));
        }
        read_more(on_head_read);
    }

    void handle_request(std::size_t head_length) {
        std::unique_ptr<SoupMessageHeaders, SoupHeadersUnref> headers(
            soup_message_headers_new(SOUP_MESSAGE_HEADERS_REQUEST));
        char* method = nullptr;
        char* target = nullptr;
        const guint status = soup_headers_parse_request(head_.data(), static_cast<int>(head_length),
                                                        headers.get(), &method, &target, nullptr);
        const GCharPtr owned_method(method);
        const GCharPtr owned_target(target);
        if (status != SOUP_STATUS_OK) {
            server_.log().record("-", raw_target(head_), "");
            return answer(bad_request(400, "Bad Request"));
        }
        const char* host = soup_message_headers_get_one(headers.get(), "Host");
        const Request request{method, target, host ? host : ""};
        server_.log().record(request.method, request.target, request.host);
        answer(server_.respond(request));
    }

    void answer(Response response) {
        response_ = std::move(response);
        switch (response_.timing) {
            case Response::Timing::immediately:
                return send_head();
            case Response::Timing::after_delay:
                delay_source_ =
                    g_timeout_add(static_cast<guint>(response_.delay.count()), on_delay_over, this);
                return;
            case Response::Timing::never:
                return wait_for_client_to_leave();
        }
    }

    static gboolean on_delay_over(gpointer self) {
        auto* connection = static_cast<Connection*>(self);
        connection->delay_source_ = 0;
        connection->send_head();
        return G_SOURCE_REMOVE;
    }

    // Keeps the connection open without answering; reading only notices when the
    // client gives up, so that the connection is then released.
    void wait_for_client_to_leave() { read_more(on_read_while_waiting); }

    static void on_read_while_waiting(GObject* stream, GAsyncResult* result, gpointer self) {
        auto* connection = static_cast<Connection*>(self);
        if (g_input_stream_read_finish(G_INPUT_STREAM(stream), result, nullptr) <= 0) {
            return connection->finish();
        }
        connection->wait_for_client_to_leave();
    }

    void send_head() { write(status_line_and_headers(response_)); }

    void write(std::string bytes) {
        pending_ = std::move(bytes);
        g_output_stream_write_all_async(output(), pending_.data(), pending_.size(),
                                        G_PRIORITY_DEFAULT, nullptr, on_written, this);
    }

    static void on_written(GObject* stream, GAsyncResult* result, gpointer self) {
        auto* connection = static_cast<Connection*>(self);
        const bool written =
            g_output_stream_write_all_finish(G_OUTPUT_STREAM(stream), result, nullptr, nullptr);
        if (!written) return connection->finish();  // the client went away
        connection->send_next_body_piece();
    }

    void send_next_body_piece() {
        std::optional<std::string> piece =
            response_.next_body_piece ? response_.next_body_piece() : std::nullopt;
        while (piece && piece->empty()) piece = response_.next_body_piece();
        if (!piece) return finish();
        write(std::move(*piece));
    }

    // Closes the connection and destroys this object; the caller must return at once.
    void finish() {
        g_io_stream_close(G_IO_STREAM(socket_.get()), nullptr, nullptr);
        server_.forget(this);
    }

    HttpServer& server_;
    GObjectPtr<GSocketConnection> socket_;
    std::array<char, 4096> read_buffer_{};
    std::string head_;
    Response response_;
    std::string pending_;
    guint delay_source_ = 0;
};

HttpServer::HttpServer(RequestHandler handler, RequestLog& log)
    : handler_(std::move(handler)), log_(log), service_(g_socket_service_new()) {
    g_signal_connect(service_.get(), "incoming", G_CALLBACK(on_incoming), this);
}

HttpServer::~HttpServer() {
    g_socket_service_stop(service_.get());
    g_signal_handlers_disconnect_by_data(service_.get(), this);
}

std::uint16_t HttpServer::listen(const std::string& address, std::uint16_t port) {
    GObjectPtr<GInetAddress> inet_address(g_inet_address_new_from_string(address.c_str()));
    if (!inet_address) throw std::runtime_error("not an IP address: " + address);
    GObjectPtr<GSocketAddress> wanted(g_inet_socket_address_new(inet_address.get(), port));
    GSocketAddress* effective = nullptr;
    GError* error = nullptr;
    if (!g_socket_listener_add_address(G_SOCKET_LISTENER(service_.get()), wanted.get(),
                                       G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, nullptr,
                                       &effective, &error)) {
        std::string message =
            "cannot listen on " + address + ":" + std::to_string(port) + ": " + error->message;
        g_error_free(error);
        throw std::runtime_error(message);
    }
    GObjectPtr<GSocketAddress> bound(effective);
    g_socket_service_start(service_.get());
    return g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound.get()));
}

void HttpServer::forget(Connection* connection) {
    connections_.erase(connection);
}

gboolean HttpServer::on_incoming(GSocketService*, GSocketConnection* socket, GObject*,
                                 gpointer self) {
    auto& server = *static_cast<HttpServer*>(self);
    auto connection = std::make_unique<Connection>(server, socket);
    Connection* started = connection.get();
    server.connections_.emplace(started, std::move(connection));
    started->start();
    return TRUE;
}

}  // namespace sample_service
