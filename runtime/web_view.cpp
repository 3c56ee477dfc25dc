#include "runtime/web_view.h"

#include <algorithm>
#include <array>

#include "runtime/encoding.h"

namespace rt {
namespace {

// Text-only zoom for the five text size steps.
constexpr std::array<double, 5> kTextZoomByStep{0.8, 0.9, 1.0, 1.2, 1.4};
constexpr int kDefaultTextSizeStep = 2;

constexpr const char* kNoEngineMessage =
    "无法显示网页：本机缺少网页引擎的组件。\n请重新安装本程序后再试。";

// Stands where the pages would be: white like an empty view, with the reason.
std::unique_ptr<Gtk::Widget> make_no_engine_message() {
    auto message = std::make_unique<Gtk::Label>(kNoEngineMessage);
    message->set_justify(Gtk::JUSTIFY_CENTER);
    message->set_line_wrap(true);
    message->set_name("no-web-engine");
    return message;
}

}  // namespace

// The control's own box: white, asks for no size, gives its one child the
// whole of it. Focusable while it is empty, so that the tab order is the same
// before and after the engine arrives.
class EngineHolder : public Gtk::Bin {
  public:
    EngineHolder() {
        set_has_window(false);
        set_can_focus(true);
    }

    void hold(Gtk::Widget& child, bool focusable) {
        const bool had_focus = has_focus();
        add(child);
        child.show();
        set_can_focus(false);
        if (had_focus && focusable) child.grab_focus();
    }

  protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override {
        return Gtk::SIZE_REQUEST_CONSTANT_SIZE;
    }
    void get_preferred_width_vfunc(int& minimum, int& natural) const override {
        minimum = natural = 0;
    }
    void get_preferred_height_vfunc(int& minimum, int& natural) const override {
        minimum = natural = 0;
    }
    void on_size_allocate(Gtk::Allocation& allocation) override {
        set_allocation(allocation);
        if (Gtk::Widget* child = get_child(); child != nullptr && child->get_visible()) {
            child->size_allocate(allocation);
        }
    }
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override {
        cr->set_source_rgb(1, 1, 1);
        cr->paint();
        return Gtk::Bin::on_draw(cr);
    }
};

WebView::WebView()
    : holder_(std::make_unique<EngineHolder>()), text_size_step_(kDefaultTextSizeStep) {
    // After the frame that shows the window: the engine's libraries are then
    // loaded while the person is looking at the window, not before it.
    first_draw_ = holder_->signal_draw().connect(
        [this](const Cairo::RefPtr<Cairo::Context>&) {
            first_draw_.disconnect();
            pending_step_ = Glib::signal_idle().connect(
                [this] {
                    loader_.start([this] { attach_engine(false); });
                    return false;
                },
                Glib::PRIORITY_DEFAULT_IDLE);
            return false;
        },
        false);
}

WebView::~WebView() {
    first_draw_.disconnect();
    pending_step_.disconnect();
    if (holder_->get_child() != nullptr) holder_->remove();
    engine_.reset();
    if (Gtk::Container* parent = holder_->get_parent()) parent->remove(*holder_);
}

Gtk::Widget& WebView::widget() {
    return *holder_;
}

bool WebView::attach_engine(bool address_follows) {
    if (attach_tried_) return engine_ != nullptr;
    attach_tried_ = true;
    first_draw_.disconnect();
    pending_step_.disconnect();
    engine_ = loader_.create();
    if (!engine_) {
        no_engine_ = make_no_engine_message();
        holder_->hold(*no_engine_, false);
        return false;
    }
    holder_->hold(engine_->widget(), true);
    set_text_size_step(text_size_step_);
    // An empty document, not an address: the web process is then ready for
    // the first search. Starting it sets up the engine's drawing in this
    // process too, so it waits for the input that came meanwhile. The
    // stored address stays empty.
    if (!address_follows) {
        pending_step_ = Glib::signal_idle().connect(
            [this] {
                engine_->start_web_process();
                return false;
            },
            Glib::PRIORITY_DEFAULT_IDLE);
    }
    return true;
}

void WebView::write_address(const char* address) {
    address_ = address != nullptr ? address : "";
    if (!attach_engine(true)) return;  // nothing can be shown; the message stays
    engine_->load(system_to_utf8(address_));
}

void WebView::set_text_size_step(int step) {
    text_size_step_ = std::clamp(step, 0, static_cast<int>(kTextZoomByStep.size()) - 1);
    if (engine_) engine_->set_text_zoom(kTextZoomByStep[text_size_step_]);
}

}  // namespace rt
