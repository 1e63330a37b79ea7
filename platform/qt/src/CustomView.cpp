// Windows of classes the platform does not know (placeholders, controls made at run time):
// an empty frame in which child windows can be placed. Views for such classes are added with
// registerView(className, creator).
#include "Internal.h"

#include <QFrame>

namespace platform::qt {

namespace {

class CustomView final : public View {
public:
    CustomView(Window& window, QFrame* frame) : View(window, frame), m_frame(frame) {}

    void update(Change what) override {
        if (what == Change::Style) {
            bool border = (window().style() & WS_BORDER) ||
                          (window().exStyle() & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
            m_frame->setFrameStyle(border ? (QFrame::StyledPanel | QFrame::Sunken)
                                          : QFrame::NoFrame);
        }
        View::update(what);
    }

private:
    QFrame* m_frame;
};

} // namespace

std::unique_ptr<View> makeCustomView(Window& window, QWidget* parent) {
    return std::make_unique<CustomView>(window, new QFrame(parent));
}

} // namespace platform::qt
