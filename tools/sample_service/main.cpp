// sample-search-service: a stand-in for the film search service that tests, the
// demo and the benchmark point the program at (directly, or as its HTTP proxy).

#include "tools/sample_service/gobject_ptr.h"
#include "tools/sample_service/http_server.h"
#include "tools/sample_service/request_log.h"
#include "tools/sample_service/search_site.h"

#include <glib-unix.h>
#include <glib.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

namespace {

constexpr const char* kFaultModes =
    "Answers any host, also requests in the absolute form a proxy receives, so the\n"
    "program can reach it through http_proxy=http://127.0.0.1:PORT.\n"
    "\n"
    "Pages: /so.asp?k=NAME (results; NAME is percent-encoded GB18030), /play.asp,\n"
    "/beacon (every page requests it on load; answered 204).\n"
    "\n"
    "Film names that select a fault mode:\n"
    "  __hang__    accept the request and never answer (the connection stays open)\n"
    "  __big__     a results page of about 50 MB, streamed\n"
    "  __popups__  a page whose script opens 50 pop-up windows\n"
    "  __slow__    the normal results page after 3 seconds\n"
    "\n"
    "Log: one line per request, flushed at once:\n"
    "  <monotonic microseconds> <METHOD> <request target as received> Host=<Host header>\n";

struct Options {
    int port = 0;
    std::string log_path;
    std::string bind_address = "127.0.0.1";
};

struct OptionContextFree {
    void operator()(GOptionContext* context) const { g_option_context_free(context); }
};

Options parse_command_line(int argc, char** argv) {
    gint port = 0;
    gchar* log_path = nullptr;
    gchar* bind_address = nullptr;
    const GOptionEntry entries[] = {
        {"port", 0, 0, G_OPTION_ARG_INT, &port, "Port to listen on; 0 picks a free one", "N"},
        {"log", 0, 0, G_OPTION_ARG_FILENAME, &log_path,
         "Append one line per request to FILE (default: standard error)", "FILE"},
        {"bind", 0, 0, G_OPTION_ARG_STRING, &bind_address, "Address to listen on (127.0.0.1)",
         "ADDRESS"},
        {nullptr, 0, 0, G_OPTION_ARG_NONE, nullptr, nullptr, nullptr}};
    std::unique_ptr<GOptionContext, OptionContextFree> context(
        g_option_context_new("- sample film search service"));
    g_option_context_add_main_entries(context.get(), entries, nullptr);
    g_option_context_set_description(context.get(), kFaultModes);
    GError* error = nullptr;
    if (!g_option_context_parse(context.get(), &argc, &argv, &error)) {
        std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error(message);
    }
    const sample_service::GCharPtr owned_log(log_path);
    const sample_service::GCharPtr owned_bind(bind_address);
    if (port < 0 || port > 65535) throw std::runtime_error("--port must be 0 to 65535");
    Options options;
    options.port = port;
    if (log_path) options.log_path = log_path;
    if (bind_address) options.bind_address = bind_address;
    return options;
}

gboolean quit_loop(gpointer loop) {
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return G_SOURCE_CONTINUE;
}

struct MainLoopUnref {
    void operator()(GMainLoop* loop) const { g_main_loop_unref(loop); }
};

}  // namespace

int main(int argc, char** argv) {
    // A client that leaves in the middle of a big page must not end the service.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        const Options options = parse_command_line(argc, argv);
        sample_service::RequestLog log(options.log_path);
        sample_service::HttpServer server(sample_service::answer_request, log);
        const auto port =
            server.listen(options.bind_address, static_cast<std::uint16_t>(options.port));
        std::printf("port %u\n", static_cast<unsigned>(port));
        std::fflush(stdout);

        std::unique_ptr<GMainLoop, MainLoopUnref> loop(g_main_loop_new(nullptr, FALSE));
        g_unix_signal_add(SIGINT, quit_loop, loop.get());
        g_unix_signal_add(SIGTERM, quit_loop, loop.get());
        g_main_loop_run(loop.get());
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "sample-search-service: %s\n", failure.what());
        return 1;
    }
}
