#pragma once

#include <gtkmm.h>

#include <memory>
#include <string>

namespace rt {

// The browser engine behind the web view control. It lives in a module of
// its own that the web view loads once its window is on the screen: the
// engine's libraries alone take longer to load and set up than the whole
// window takes to appear.
class WebEngine {
  public:
    virtual ~WebEngine() = default;

    // The engine's view, to be placed in the control.
    virtual Gtk::Widget& widget() = 0;

    // Starts an ordinary GET for the address (UTF-8) in the view itself.
    virtual void load(const std::string& address) = 0;

    // Starts the web process with an empty document, unless a page is
    // already loading, so that the first search finds it ready.
    virtual void start_web_process() = 0;

    // The engine's text-only zoom; 1 is its normal text size.
    virtual void set_text_zoom(double zoom) = 0;
};

// The module's one entry point: fills `engine`, or leaves it empty when the
// engine cannot run on this machine. Web content is confined to bubblewrap's
// sandbox where that can run.
using CreateWebEngine = void (*)(bool sandbox_usable, std::unique_ptr<WebEngine>* engine);
inline constexpr const char* kCreateWebEngineSymbol = "tavik_create_web_engine";
inline constexpr const char* kWebEngineModuleName = "tavik-web-engine.so";

}  // namespace rt
