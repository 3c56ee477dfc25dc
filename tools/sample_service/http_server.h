#pragma once
// A small HTTP/1.1 server on the GLib main loop. It reads one request per
// connection, writes every request line to the request log exactly as received
// (origin form or the absolute form a proxy receives), and answers with
// "Connection: close". It is not built on SoupServer because that one refuses
// targets such as "k=100%" with 400 and rewrites others, and the program under
// test sends typed text unencoded.

#include "tools/sample_service/gobject_ptr.h"
#include "tools/sample_service/request_log.h"

#include <gio/gio.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace sample_service {

struct Request {
    std::string method;
    std::string target;  // as received: "/so.asp?k=..." or "http://host/so.asp?k=..."
    std::string host;    // the Host header, empty when there is none
};

struct Response {
    enum class Timing { immediately, after_delay, never };

    int status = 200;
    std::string reason = "OK";
    std::string content_type = "text/html; charset=gbk";
    // Gives the body piece by piece until it returns nothing, so that a very large
    // body is never held in memory whole.
    std::function<std::optional<std::string>()> next_body_piece;
    std::optional<std::size_t> content_length;  // absent: the body ends when the connection does
    Timing timing = Timing::immediately;
    std::chrono::milliseconds delay{0};

    static Response with_body(std::string body);
};

using RequestHandler = std::function<Response(const Request&)>;

class Connection;

class HttpServer {
  public:
    HttpServer(RequestHandler handler, RequestLog& log);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Starts listening; port 0 picks a free one. Returns the port listened on.
    std::uint16_t listen(const std::string& address, std::uint16_t port);

    // Used by connections.
    Response respond(const Request& request) const { return handler_(request); }
    RequestLog& log() { return log_; }
    void forget(Connection* connection);

  private:
    static gboolean on_incoming(GSocketService* service, GSocketConnection* socket, GObject* source,
                                gpointer self);

    RequestHandler handler_;
    RequestLog& log_;
    GObjectPtr<GSocketService> service_;
    std::map<Connection*, std::unique_ptr<Connection>> connections_;
};

}  // namespace sample_service
