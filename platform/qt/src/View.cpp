// The view base class, the registry of view creators and the filter that turns keyboard,
// focus and close-box input into the platform's user actions.
#include "Internal.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>

#include <algorithm>
#include <cctype>

namespace platform::qt {

namespace {

int g_syncDepth = 0;
std::vector<QPointer<QWidget>> g_acting;
QHash<const QObject*, View*> g_viewOfWidget;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct Registry {
    std::map<ControlKind, ViewCreator> byKind;
    std::map<std::string, ViewCreator> byClass; // lower-case class names

    Registry() {
        byKind[ControlKind::Dialog] = makeDialogView;
        byKind[ControlKind::Static] = makeStaticView;
        byKind[ControlKind::GroupBox] = makeGroupBoxView;
        byKind[ControlKind::Edit] = makeEditView;
        byKind[ControlKind::PushButton] = makePushButtonView;
        byKind[ControlKind::CheckBox] = makeCheckBoxView;
        byKind[ControlKind::RadioButton] = makeRadioButtonView;
        byKind[ControlKind::ComboBox] = makeComboBoxView;
        byKind[ControlKind::ListBox] = makeListBoxView;
        byKind[ControlKind::ListView] = makeListViewView;
        byKind[ControlKind::Tab] = makeTabView;
        byKind[ControlKind::Custom] = makeCustomView;
        byClass["gpsgridctrl"] = makeGridView;
    }
};

Registry& registry() {
    static Registry instance;
    return instance;
}

bool isUserFocusReason(Qt::FocusReason reason) {
    return reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
           reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

/// Enter, Escape, the close box and focus changes, for every widget that shows a window.
class UserInputFilter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        View* view = g_viewOfWidget.value(watched, nullptr);
        if (view == nullptr) return false;
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
            // Ctrl+Tab and Ctrl+Shift+Tab turn the pages of a property sheet.
            if ((modifiers & Qt::ControlModifier) &&
                (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
                bool backwards = key->key() == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
                view->act([backwards](Window& w) { return userNextTab(w, backwards); });
                return true;
            }
            if (modifiers != Qt::NoModifier) return false;
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (view->takesReturn()) return false;
                view->act([](Window& w) { return userEnter(w); });
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                view->act([](Window& w) { return userEscape(w); });
                return true;
            }
            return false;
        }
        case QEvent::FocusIn: {
            auto* focus = static_cast<QFocusEvent*>(event);
            if (!View::syncing() && isUserFocusReason(focus->reason()) && view->followsFocus())
                view->act([](Window& w) { return userFocus(w); });
            return false;
        }
        case QEvent::Close:
            if (view->window().parent() != nullptr) return false;
            // Only the model ends a dialog: the close box asks it, and the window stays.
            event->ignore();
            view->act([](Window& w) { return userClose(w); });
            return true;
        default:
            return false;
        }
    }
};

} // namespace

// --- View -------------------------------------------------------------------------------------

View::View(Window& window, QWidget* widget)
    : m_window(&window), m_alive(std::make_shared<bool>(true)), m_widget(widget) {
    if (widget != nullptr) {
        g_viewOfWidget.insert(widget, this);
        widget->installEventFilter(userInputFilter());
    }
}

View::~View() {
    m_alive.reset();
    if (m_widget) {
        m_widget->removeEventFilter(userInputFilter());
        g_viewOfWidget.remove(m_widget.data());
    }
    // Entries of widgets that Qt already deleted.
    for (auto it = g_viewOfWidget.begin(); it != g_viewOfWidget.end();)
        it = it.value() == this ? g_viewOfWidget.erase(it) : std::next(it);
}

void View::update(Change what) {
    QWidget* w = widget();
    if (w == nullptr) return;
    switch (what) {
    case Change::Rect:
        w->setGeometry(geometry());
        break;
    case Change::Enabled:
        w->setEnabled(window().enabled());
        break;
    case Change::Visible:
        w->setVisible(window().visible());
        break;
    case Change::Style:
        w->setFocusPolicy(focusPolicy());
        break;
    default:
        break;
    }
}

void View::refresh() {
    for (Change what : {Change::Style, Change::Columns, Change::Items, Change::Text,
                        Change::Selection, Change::Check, Change::ReadOnly, Change::Rect,
                        Change::Enabled, Change::Visible, Change::Tabs})
        update(what);
}

QRect View::geometry() const {
    RECT r = window().rect();
    return QRect(r.left, r.top, r.Width(), r.Height());
}

Qt::FocusPolicy View::focusPolicy() const {
    switch (window().kind()) {
    case ControlKind::Static:
    case ControlKind::GroupBox:
    case ControlKind::Dialog:
        return Qt::NoFocus;
    case ControlKind::Custom:
        return (window().style() & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::NoFocus;
    default:
        return (window().style() & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus;
    }
}

bool View::act(const std::function<bool(Window&)>& action) {
    if (syncing()) return false;
    std::weak_ptr<bool> alive = m_alive;
    struct Acting {
        explicit Acting(QWidget* w) { g_acting.emplace_back(w); }
        ~Acting() { g_acting.pop_back(); }
    } acting(widget());
    bool done = false;
    try {
        done = action(window());
    } catch (...) {
        QtBackend* backend = currentQtBackend();
        if (backend == nullptr || !backend->carryException(std::current_exception())) throw;
        return false;
    }
    if (!alive.expired()) {
        Sync sync;
        afterUserAction();
    }
    return done;
}

void View::afterUserAction() {
    update(Change::Text);
    update(Change::Check);
    update(Change::Selection);
}

bool View::syncing() {
    return g_syncDepth > 0;
}

View::Sync::Sync() {
    ++g_syncDepth;
}
View::Sync::~Sync() {
    --g_syncDepth;
}

// --- Registry and helpers ---------------------------------------------------------------------

void registerView(ControlKind kind, ViewCreator creator) {
    registry().byKind[kind] = std::move(creator);
}

void registerView(const std::string& className, ViewCreator creator) {
    registry().byClass[lower(className)] = std::move(creator);
}

std::unique_ptr<View> createView(Window& window, QWidget* parent) {
    Registry& r = registry();
    auto byClass = r.byClass.find(lower(window.className()));
    if (byClass != r.byClass.end() && byClass->second) return byClass->second(window, parent);
    auto byKind = r.byKind.find(window.kind());
    if (byKind != r.byKind.end() && byKind->second) return byKind->second(window, parent);
    return makeCustomView(window, parent);
}

View* viewFor(const Window* window) {
    QtBackend* backend = currentQtBackend();
    return backend != nullptr ? backend->find(window) : nullptr;
}

bool isActing(const QWidget* widget) {
    return std::any_of(g_acting.begin(), g_acting.end(), [widget](const QPointer<QWidget>& w) {
        return w && (w.data() == widget || widget->isAncestorOf(w.data()));
    });
}

QObject* userInputFilter() {
    static UserInputFilter* filter = new UserInputFilter; // lives as long as the program
    return filter;
}

} // namespace platform::qt
