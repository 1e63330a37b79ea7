// The tab control: a row of tabs over a framed display area. The pages of a property sheet are
// the sheet's other children, laid over the display area by the model; this view shows only
// the tabs and the frame, and turns a click on a tab into the model's tab click, which the
// active page may refuse.
#include "Internal.h"

#include "platform/tabctrl.h"

#include <QFrame>
#include <QTabBar>

namespace platform::qt {

namespace {

class TabView final : public View {
public:
    TabView(Window& window, QWidget* widget) : View(window, widget) {
        m_frame = new QFrame(widget);
        m_frame->setFrameShape(QFrame::StyledPanel);
        m_bar = new QTabBar(widget);
        m_bar->setExpanding(false);
        m_bar->setDrawBase(false);
        m_bar->setUsesScrollButtons(true); // one row of tabs, never stacked
        m_bar->setFocusPolicy(Qt::NoFocus);
        QObject::connect(m_bar, &QTabBar::currentChanged, context(), [this](int index) {
            if (syncing() || index < 0) return;
            act([index](Window& w) { return userSelectTab(w, index); });
            showTabs(); // a refused click leaves the tab that the model keeps
        });
    }

    void update(Change what) override {
        switch (what) {
        case Change::Tabs:
        case Change::Text:
            showTabs();
            break;
        case Change::Rect:
            View::update(what);
            placeParts();
            break;
        default:
            View::update(what);
            break;
        }
    }

    Qt::FocusPolicy focusPolicy() const override { return Qt::NoFocus; }

private:
    void showTabs() {
        const TabState* state = tabStateOf(&window());
        if (state == nullptr) return;
        Sync sync;
        while (m_bar->count() > static_cast<int>(state->tabs.size()))
            m_bar->removeTab(m_bar->count() - 1);
        for (int i = 0; i < static_cast<int>(state->tabs.size()); ++i) {
            QString text = toQString(state->tabs[static_cast<size_t>(i)].text);
            if (i >= m_bar->count())
                m_bar->addTab(text);
            else if (m_bar->tabText(i) != text)
                m_bar->setTabText(i, text);
        }
        if (m_bar->currentIndex() != state->current) m_bar->setCurrentIndex(state->current);
        placeParts();
    }

    void placeParts() {
        RECT r = window().rect();
        int row = TabState::rowHeight(window().baseUnits());
        m_bar->setGeometry(0, 0, r.Width(), row + 2);
        m_frame->setGeometry(0, row, r.Width(), std::max(0, static_cast<int>(r.Height()) - row));
        m_frame->lower();
        m_bar->raise();
    }

    QTabBar* m_bar = nullptr;
    QFrame* m_frame = nullptr;
};

} // namespace

std::unique_ptr<View> makeTabView(Window& window, QWidget* parent) {
    return std::make_unique<TabView>(window, new QWidget(parent));
}

} // namespace platform::qt
