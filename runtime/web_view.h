#pragma once

#include <gtkmm.h>

#include <string>

namespace rt {

// The web view control: the engine's view filling the control's whole box,
// with the settings its kind starts with. Keeps the last address written to it.
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

private:
    Gtk::Widget* widget_;  // holds one reference to the engine's view
    std::string address_;
};

}  // namespace rt
