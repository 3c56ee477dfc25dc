#pragma once

#include <gtkmm.h>

#include <memory>
#include <string>

#include "runtime/engine_loader.h"
#include "runtime/web_engine.h"

namespace rt {

class EngineHolder;

// The web view control: a white box filling the control's whole area that
// holds the engine's view, with the settings its kind starts with. Keeps the
// last address written to it.
//
// The engine is loaded once the window's first frame is out (or at the first
// address written, if that comes sooner); until then the box stands in for it,
// white as an empty view, and an address written to it is loaded as soon as
// the engine is there.
//
// Beyond the bare view it behaves as a person using a browser expects: a page
// may open new windows of the engine's own (not program windows: they never
// keep the program alive and go when the view goes), downloads land in the
// user's download folder, script dialogs are shown, and a crashed page is
// replaced by a short message until the next search. When the engine cannot
// run here (its module, its library or its helper programs are missing) the
// control shows a message instead of pages.
class WebView {
  public:
    WebView();
    ~WebView();
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    Gtk::Widget& widget();

    // Stores a copy of the address (system code page) and starts an ordinary
    // GET for it in the view itself; the outcome is not reported.
    void write_address(const char* address);
    const std::string& address() const { return address_; }

    // 0 ... 4, the middle step 2 being the engine's normal text size.
    void set_text_size_step(int step);

    // Whether the engine's view is there, so that pages can be shown.
    bool shows_pages() const { return engine_ != nullptr; }

  private:
    // Loads the engine if it is not there yet; whether pages can be shown.
    // Without an address to load, the web process is started with an empty document.
    bool attach_engine(bool address_follows);

    std::unique_ptr<EngineHolder> holder_;
    EngineLoader loader_;
    std::unique_ptr<WebEngine> engine_;       // none until attached, or when it cannot run
    std::unique_ptr<Gtk::Widget> no_engine_;  // the message shown in its place
    bool attach_tried_ = false;
    int text_size_step_;
    std::string address_;
    sigc::connection first_draw_;
    sigc::connection pending_step_;  // the next step of bringing the engine in
};

}  // namespace rt
