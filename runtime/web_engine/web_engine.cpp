// The browser engine module: WebKitGTK behind the web view control, loaded
// by the run time once the window is on the screen.
#include <dlfcn.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <list>

#include "runtime/web_engine.h"

namespace rt {
namespace {

// Results pages are full of advertising scripts: a page may open windows only
// in answer to the user's own click, and never more than this many at once.
constexpr std::size_t kMostEngineWindows = 4;
constexpr int kDefaultEngineWindowWidth = 800;
constexpr int kDefaultEngineWindowHeight = 600;
constexpr int kSmallestEngineWindowSide = 120;

// After the web process has died the message page needs a new one. If that
// one dies too before anything is shown, the view is left alone until the
// user searches again, rather than starting web processes in a loop.
constexpr int kMostMessageTriesPerCrash = 2;
constexpr const char* kMessageTriesKey = "tavik-message-tries";

constexpr const char* kStoppedPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>网页已停止运行</title>"
    "<style>body{margin:16px;font:14px sans-serif;color:#333;background:#fff}</style></head>"
    "<body><p>网页已停止运行。请再次点击“搜索”。</p></body></html>";

constexpr const char* kHelperFolder = "webkit2gtk-4.1";

bool is_executable(const std::filesystem::path& file) {
    return access(file.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(file);
}

// The engine starts its web and network processes from helper programs in a
// folder fixed when it was built: <libdir>/webkit2gtk-4.1 beside its library,
// or <prefix>/libexec/webkit2gtk-4.1. It aborts the whole program when it
// cannot start them, so their absence has to be found out beforehand.
bool engine_helpers_present() {
    Dl_info library{};
    void* entry = reinterpret_cast<void*>(&webkit_web_view_new);
    if (dladdr(entry, &library) == 0 || library.dli_fname == nullptr) {
        return true;  // nothing to look at: leave it to the engine
    }
    std::filesystem::path library_folder = std::filesystem::path(library.dli_fname).parent_path();
    const std::array candidates{library_folder / kHelperFolder,
                                library_folder.parent_path() / "libexec" / kHelperFolder};
    return std::ranges::any_of(candidates, [](const std::filesystem::path& folder) {
        return is_executable(folder / "WebKitWebProcess") &&
               is_executable(folder / "WebKitNetworkProcess");
    });
}

// One engine context for the process. The program keeps no state of its own,
// so web data (cookies, cache, local storage) lives in memory only. The
// sandbox has to be chosen before the first web process starts.
WebKitWebContext* shared_context(bool sandbox_usable) {
    static WebKitWebContext* context = [sandbox_usable] {
        WebKitWebContext* created = webkit_web_context_new_ephemeral();
        webkit_web_context_set_cache_model(created, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
        webkit_web_context_set_sandbox_enabled(created, sandbox_usable);
        return created;
    }();
    return context;
}

int message_tries(WebKitWebView* view) {
    return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(view), kMessageTriesKey));
}

void set_message_tries(WebKitWebView* view, int tries) {
    g_object_set_data(G_OBJECT(view), kMessageTriesKey, GINT_TO_POINTER(tries));
}

// The web process behind the view has gone (killed, crashed, out of memory):
// the view would stay blank or frozen, so it says what happened instead.
void on_web_process_terminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                               gpointer) {
    if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
    int tries = message_tries(view);
    if (tries >= kMostMessageTriesPerCrash) return;
    set_message_tries(view, tries + 1);
    const char* address = webkit_web_view_get_uri(view);
    bool has_address = address != nullptr && *address != '\0';
    webkit_web_view_load_alternate_html(view, kStoppedPage, has_address ? address : "about:blank",
                                        nullptr);
}

void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
    if (event == WEBKIT_LOAD_COMMITTED) set_message_tries(view, 0);
}

// What a browser does with a response it cannot show (a program, an archive):
// the engine alone would drop it silently; a person expects a download.
gboolean on_decide_policy(WebKitWebView*, WebKitPolicyDecision* decision,
                          WebKitPolicyDecisionType type, gpointer) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
    auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (webkit_response_policy_decision_is_mime_type_supported(response) ||
        !webkit_response_policy_decision_is_main_frame_main_resource(response)) {
        return FALSE;
    }
    webkit_policy_decision_download(decision);
    return TRUE;
}

class Engine;
GtkWidget* on_create(WebKitWebView* opener, WebKitNavigationAction* action, gpointer engine);

// Handlers every view of the family has, the control's own and its windows'.
void connect_page_handlers(WebKitWebView* view, Engine* engine) {
    g_signal_connect(view, "create", G_CALLBACK(on_create), engine);
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(on_web_process_terminated), engine);
    g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), engine);
    g_signal_connect(view, "decide-policy", G_CALLBACK(on_decide_policy), engine);
}

// The control's engine view and the windows its pages opened.
class Engine : public WebEngine, public sigc::trackable {
  public:
    // A window a page opened: a plain browser window of the engine's, not a
    // program window, so it never keeps the program running.
    struct Window {
        Engine* family = nullptr;
        Gtk::Window window;
        WebKitWebView* view = nullptr;  // owned by the window
        bool closed = false;
    };

    WebKitWebView* view = nullptr;   // one reference held
    Gtk::Widget* wrapped = nullptr;  // the same view, for the control
    std::list<std::unique_ptr<Window>> windows;

    explicit Engine(bool sandbox_usable);
    ~Engine() override;

    Gtk::Widget& widget() override { return *wrapped; }
    void load(const std::string& address) override;
    void start_web_process() override;
    void set_text_zoom(double zoom) override;

    GtkWidget* open_window(WebKitWebView* opener, WebKitNavigationAction* action);
    void close_window(Window& window);
    void remove_closed_windows();
    std::size_t open_window_count() const;
};

GtkWidget* on_create(WebKitWebView* opener, WebKitNavigationAction* action, gpointer engine) {
    return static_cast<Engine*>(engine)->open_window(opener, action);
}

// Shown once the page has told the engine how its window should look.
void on_ready_to_show(WebKitWebView* view, gpointer data) {
    auto* opened = static_cast<Engine::Window*>(data);
    GdkRectangle geometry{};
    webkit_window_properties_get_geometry(webkit_web_view_get_window_properties(view), &geometry);
    auto side = [](int asked, int otherwise) {
        return asked > 0 ? std::max(asked, kSmallestEngineWindowSide) : otherwise;
    };
    opened->window.set_default_size(side(geometry.width, kDefaultEngineWindowWidth),
                                    side(geometry.height, kDefaultEngineWindowHeight));
    opened->window.show_all();
}

void on_close(WebKitWebView*, gpointer data) {
    auto* opened = static_cast<Engine::Window*>(data);
    opened->family->close_window(*opened);
}

void on_title_changed(WebKitWebView* view, GParamSpec*, gpointer data) {
    const char* title = webkit_web_view_get_title(view);
    static_cast<Engine::Window*>(data)->window.set_title(title != nullptr ? title : "");
}

}  // namespace

Engine::Engine(bool sandbox_usable) {
    // One results page needs no GPU compositing. Given at creation, so that
    // the view never looks for GL in this process (the program has it off).
    WebKitSettings* settings = webkit_settings_new_with_settings(
        "hardware-acceleration-policy", WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER, "zoom-text-only",
        TRUE, nullptr);
    GtkWidget* created =
        GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", shared_context(sandbox_usable),
                                "settings", settings, nullptr));
    g_object_unref(settings);
    g_object_ref_sink(created);
    view = WEBKIT_WEB_VIEW(created);
    GdkRGBA white{1, 1, 1, 1};
    webkit_web_view_set_background_color(view, &white);
    connect_page_handlers(view, this);
    wrapped = Glib::wrap(created);
    wrapped->set_can_focus(true);
}

Engine::~Engine() {
    windows.clear();  // the pages it opened go first, with their views
    g_signal_handlers_disconnect_by_data(view, this);
    GtkWidget* widget = GTK_WIDGET(view);
    if (GtkWidget* parent = gtk_widget_get_parent(widget)) {
        gtk_container_remove(GTK_CONTAINER(parent), widget);
    }
    g_object_unref(view);
}

void Engine::load(const std::string& address) {
    webkit_web_view_load_uri(view, address.c_str());
}

void Engine::start_web_process() {
    // A search made before this moment has already started it.
    if (webkit_web_view_get_uri(view) == nullptr)
        webkit_web_view_load_html(view, "", "about:blank");
}

void Engine::set_text_zoom(double zoom) {
    webkit_web_view_set_zoom_level(view, zoom);
}

GtkWidget* Engine::open_window(WebKitWebView* opener, WebKitNavigationAction* action) {
    if (!webkit_navigation_action_is_user_gesture(action)) return nullptr;
    if (open_window_count() >= kMostEngineWindows) return nullptr;
    auto opened = std::make_unique<Window>();
    opened->family = this;
    GtkWidget* created = webkit_web_view_new_with_related_view(opener);
    opened->view = WEBKIT_WEB_VIEW(created);
    gtk_container_add(GTK_CONTAINER(opened->window.gobj()), created);
    connect_page_handlers(opened->view, this);
    g_signal_connect(created, "ready-to-show", G_CALLBACK(on_ready_to_show), opened.get());
    g_signal_connect(created, "close", G_CALLBACK(on_close), opened.get());
    g_signal_connect(created, "notify::title", G_CALLBACK(on_title_changed), opened.get());
    Window* raw = opened.get();
    opened->window.signal_delete_event().connect([this, raw](GdkEventAny*) {
        close_window(*raw);
        return true;
    });
    windows.push_back(std::move(opened));
    return created;
}

// Called from the window's own signal handlers: it is hidden now and
// destroyed once control is back in the loop.
void Engine::close_window(Window& window) {
    if (window.closed) return;
    window.closed = true;
    window.window.hide();
    Glib::signal_idle().connect_once(sigc::mem_fun(*this, &Engine::remove_closed_windows));
}

void Engine::remove_closed_windows() {
    windows.remove_if([](const auto& window) { return window->closed; });
}

std::size_t Engine::open_window_count() const {
    return std::ranges::count_if(windows, [](const auto& window) { return !window->closed; });
}

}  // namespace rt

extern "C" __attribute__((visibility("default"))) void tavik_create_web_engine(
    bool sandbox_usable, std::unique_ptr<rt::WebEngine>* engine) {
    if (!rt::engine_helpers_present()) {
        std::cerr << "tavik-search: the web engine's helper programs are missing\n";
        return;
    }
    *engine = std::make_unique<rt::Engine>(sandbox_usable);
}
