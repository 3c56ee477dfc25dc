#pragma once

#include <gtkmm.h>

#include <memory>
#include <string>

namespace rt {

// The web view control: the engine's view filling the control's whole box,
// with the settings its kind starts with. Keeps the last address written to it.
//
// Beyond the bare view it behaves as a person using a browser expects: a page
// may open new windows of the engine's own (not program windows: they never
// keep the program alive and go when the view goes), downloads land in the
// user's download folder, script dialogs are shown, and a crashed page is
// replaced by a short message until the next search. When the engine's helper
// programs are missing the control shows a message instead of pages.
class WebView {
  public:
    WebView();
    ~WebView();
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    Gtk::Widget& widget() { return *widget_; }

    // Stores a copy of the address (system code page) and starts an ordinary
    // GET for it in the view itself; the outcome is not reported.
    void write_address(const char* address);
    const std::string& address() const { return address_; }

    // 0 ... 4, the middle step 2 being the engine's normal text size.
    void set_text_size_step(int step);

    // Whether pages can be shown at all, i.e. the engine's view exists.
    bool shows_pages() const { return engine_ != nullptr; }

    struct Engine;

  private:
    std::unique_ptr<Engine> engine_;          // none when the engine cannot run here
    std::unique_ptr<Gtk::Widget> no_engine_;  // the message shown in its place
    Gtk::Widget* widget_;                     // the engine's view, or the message
    std::string address_;
};

}  // namespace rt
