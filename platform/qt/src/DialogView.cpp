// Dialogs: a top-level dialog becomes a QDialog with the template's window styles, a child
// dialog (a property page) a plain widget inside its parent.
#include "Internal.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace platform::qt {

namespace {

/// A QDialog that never ends itself: only the platform's EndDialog does.
class DialogWidget final : public QDialog {
public:
    explicit DialogWidget(QWidget* parent) : QDialog(parent) {}
    void done(int) override {}
};

Qt::WindowFlags windowFlagsFor(DWORD style, DWORD exStyle) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    if ((style & WS_CAPTION) == WS_CAPTION) flags |= Qt::WindowTitleHint;
    if (style & WS_SYSMENU) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if ((exStyle & WS_EX_CONTEXTHELP) || (style & DS_CONTEXTHELP))
            flags |= Qt::WindowContextHelpButtonHint;
    }
    if ((style & WS_CAPTION) != WS_CAPTION && !(style & (WS_BORDER | WS_DLGFRAME | DS_MODALFRAME)))
        flags |= Qt::FramelessWindowHint;
    return flags;
}

class TopLevelDialogView final : public View, public TopLevelView {
public:
    TopLevelDialogView(Window& window, DialogWidget* widget) : View(window, widget) {
        widget->setFont(fontOfWindow(window));
        widget->setSizeGripEnabled(false);
        widget->setModal(true);
    }

    void update(Change what) override {
        QWidget* w = widget();
        if (w == nullptr) return;
        switch (what) {
        case Change::Text:
            w->setWindowTitle(toQString(window().text()));
            break;
        case Change::Rect: {
            RECT r = window().rect();
            QPoint origin;
            if (QScreen* screen = QGuiApplication::primaryScreen())
                origin = screen->geometry().topLeft();
            w->setFixedSize(r.Width(), r.Height());
            w->move(origin + QPoint(r.left, r.top));
            break;
        }
        case Change::Visible:
            if (!window().visible())
                w->hide();
            else if (m_running)
                w->show();
            break;
        case Change::Style: {
            Qt::WindowFlags flags = windowFlagsFor(window().style(), window().exStyle());
            if (w->windowFlags() != flags) {
                bool shown = w->isVisible();
                w->setWindowFlags(flags); // hides the window
                if (shown) w->show();
            }
            w->setFocusPolicy(Qt::NoFocus);
            break;
        }
        default:
            View::update(what);
            break;
        }
    }

    bool followsFocus() const override { return false; }

    void setRunning(bool running) override {
        m_running = running;
        QWidget* w = widget();
        if (w == nullptr) return;
        if (running && window().visible()) {
            w->setWindowModality(Qt::ApplicationModal);
            w->show();
            w->activateWindow();
        } else if (!running) {
            w->hide();
        }
    }

private:
    bool m_running = false;
};

class ChildDialogView final : public View {
public:
    ChildDialogView(Window& window, QWidget* widget) : View(window, widget) {
        widget->setFont(fontOfWindow(window));
    }
};

} // namespace

std::unique_ptr<View> makeDialogView(Window& window, QWidget* parent) {
    if (window.parent() == nullptr) {
        auto* widget = new DialogWidget(parent);
        widget->setWindowFlags(windowFlagsFor(window.style(), window.exStyle()));
        return std::make_unique<TopLevelDialogView>(window, widget);
    }
    return std::make_unique<ChildDialogView>(window, new QWidget(parent));
}

} // namespace platform::qt
