// The Qt backend: keeps one view per window of the control model, shows modal dialogs (waiting
// in a Qt event loop for a person, or while a script acts), and shows message boxes.
#include "platform/qt/QtBackend.h"
#include "Internal.h"

#include <utility>

#include "platform/dialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTranslator>

#include <algorithm>

namespace platform::qt {

namespace {

Window* topLevelOf(Window& window) {
    Window* top = &window;
    while (top->parent() != nullptr)
        top = top->parent();
    return top;
}

/// The views of a dialog's windows in template order, pages and other containers included.
void collectViews(const QtBackend& backend, const Window& parent, std::vector<View*>& order) {
    for (const auto& child : parent.children()) {
        if (View* view = backend.find(child.get())) order.push_back(view);
        if (child->kind() == ControlKind::Dialog || child->kind() == ControlKind::Custom)
            collectViews(backend, *child, order);
    }
}

/// Keeps the group boxes of each container behind its other widgets, the larger behind the
/// smaller, so that a group box never covers what it frames.
void lowerGroupBoxes(const std::vector<View*>& order) {
    std::vector<QWidget*> boxes;
    for (View* view : order)
        if (isGroupBoxView(view) && view->widget() != nullptr) boxes.push_back(view->widget());
    std::stable_sort(boxes.begin(), boxes.end(), [](const QWidget* a, const QWidget* b) {
        return a->width() * a->height() < b->width() * b->height();
    });
    for (QWidget* box : boxes)
        box->lower();
}

bool hasCaption(const QWidget* widget) {
    return widget->isWindow() && (widget->windowFlags() & Qt::WindowTitleHint) &&
           !(widget->windowFlags() & Qt::FramelessWindowHint);
}

/// The client area with a title bar and a thin frame around it, drawn by the widget style.
QPixmap withCaption(const QWidget* widget, const QPixmap& client) {
    QStyle* style = widget->style();
    QStyleOptionTitleBar option;
    option.initFrom(widget);
    option.text = widget->windowTitle();
    option.titleBarFlags = widget->windowFlags();
    option.titleBarState = Qt::WindowActive;
    option.state |= QStyle::State_Active;
    option.subControls = QStyle::SC_TitleBarLabel;
    if (widget->windowFlags() & Qt::WindowCloseButtonHint)
        option.subControls |= QStyle::SC_TitleBarCloseButton;
    if (widget->windowFlags() & Qt::WindowContextHelpButtonHint)
        option.subControls |= QStyle::SC_TitleBarContextHelpButton;
    option.activeSubControls = QStyle::SC_None;
    int titleHeight = style->pixelMetric(QStyle::PM_TitleBarHeight, &option, widget);
    const int frame = 1;
    QSize size = client.size() / client.devicePixelRatio();
    option.rect = QRect(frame, frame, size.width(), titleHeight);

    QPixmap shot(size.width() + 2 * frame, size.height() + titleHeight + 2 * frame);
    shot.fill(widget->palette().color(QPalette::Dark));
    QPainter painter(&shot);
    style->drawComplexControl(QStyle::CC_TitleBar, &option, &painter, widget);
    painter.drawPixmap(frame, frame + titleHeight, client);
    return shot;
}

/// Qt's own texts (file dialogs, standard buttons, context menus) in Italian, as the rest of
/// what the platform shows, when Qt's translations are installed. Loaded once per application.
void loadItalianQtTexts(QApplication& app) {
    const QString name = QStringLiteral("platform-qtbase-it");
    if (app.findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly) != nullptr) return;
    auto* texts = new QTranslator(&app);
    texts->setObjectName(name);
    if (texts->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(texts))
        return;
    delete texts;
}

} // namespace

QtBackend* currentQtBackend() {
    return dynamic_cast<QtBackend*>(&platform::backend());
}

QtBackend::QtBackend() = default;

QtBackend::~QtBackend() {
    // Windows still open keep their model; their widgets go with the backend.
    std::vector<QPointer<QWidget>> widgets;
    for (auto& [window, view] : m_views)
        if (view->widget() != nullptr && view->widget()->isWindow())
            widgets.emplace_back(view->widget());
    m_views.clear();
    for (const QPointer<QWidget>& w : widgets)
        delete w.data();
}

View* QtBackend::find(const Window* window) const {
    auto it = m_views.find(window);
    return it != m_views.end() ? it->second.get() : nullptr;
}

SIZE QtBackend::dialogBaseUnits(const FontSpec& font) {
    auto key = std::make_tuple(font.pointSize, font.face, font.weight, font.italic);
    auto cached = m_baseUnits.find(key);
    if (cached != m_baseUnits.end()) return cached->second;
    SIZE units = baseUnitsOf(fontFor(font));
    m_baseUnits[key] = units;
    return units;
}

SIZE QtBackend::screenSize() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QSize size = screen->geometry().size();
        if (size.width() > 0 && size.height() > 0) return SIZE{size.width(), size.height()};
    }
    return Backend::screenSize();
}

namespace {

/// Top-level windows of the model are placed counted from the main screen's top-left corner.
QPoint modelOrigin() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().topLeft() : QPoint();
}

} // namespace

RECT QtBackend::workArea(const Window* owner) {
    QScreen* screen = nullptr;
    QWidget* shown = nullptr;
    if (owner != nullptr)
        if (View* view = find(topLevelOf(*const_cast<Window*>(owner))); view && view->widget())
            shown = view->widget()->window();
    if (shown == nullptr) shown = hostOwner();
    if (shown != nullptr) screen = shown->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return Backend::workArea(owner);
    QRect area = screen->availableGeometry().translated(-modelOrigin());
    if (area.isEmpty()) return Backend::workArea(owner);
    return RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

std::optional<POINT> QtBackend::hostOwnerOrigin() {
    QWidget* owner = hostOwner();
    if (owner == nullptr) return std::nullopt;
    QPoint client(0, 0);
    // A main window's client area begins below its menu bar.
    if (auto* main = qobject_cast<QMainWindow*>(owner); main != nullptr && main->menuWidget())
        client.ry() += main->menuWidget()->height();
    QPoint origin = owner->mapToGlobal(client) - modelOrigin();
    return POINT{origin.x(), origin.y()};
}

QWidget* QtBackend::hostOwner() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    QWidget* active = QApplication::activeWindow();
    return active != nullptr && active->isVisible() ? active : nullptr;
}

View* QtBackend::ensureView(Window& window) {
    if (View* existing = find(&window)) return existing;
    QWidget* parentWidget = nullptr;
    if (window.parent() != nullptr) {
        // A window made while its parent was being created (in WM_CREATE) comes first.
        View* parentView = ensureView(*window.parent());
        parentWidget = parentView != nullptr ? parentView->container() : nullptr;
        if (parentWidget == nullptr) return nullptr;
    } else if (window.owner() != nullptr) {
        if (View* ownerView = find(window.owner()); ownerView != nullptr && ownerView->widget())
            parentWidget = ownerView->widget()->window();
    } else if (window.kind() == ControlKind::Dialog) {
        // Made without an owner: the host's window owns it, so that it stays above that window
        // and what opens from it stays above it in turn.
        parentWidget = hostOwner();
    }
    View::Sync sync;
    std::unique_ptr<View> view = createView(window, parentWidget);
    if (!view) return nullptr;
    View* created = view.get();
    m_views[&window] = std::move(view);
    created->refresh();
    showEditTip(window);
    return created;
}

void QtBackend::windowCreated(Window& window) {
    if (ensureView(window) == nullptr) return;
    arrangeIfShown(window);
    if (focusWindow() == &window) mirrorFocus();
}

void QtBackend::windowDestroyed(Window& window) {
    auto it = m_views.find(&window);
    if (it == m_views.end()) return;
    std::unique_ptr<View> view = std::move(it->second);
    m_views.erase(it);
    QPointer<QWidget> widget = view->widget();
    View::Sync sync;
    view.reset();
    if (!widget) return;
    if (isActing(widget)) {
        // The user action that destroys it started inside it: let the action finish first.
        widget->hide();
        widget->deleteLater();
    } else {
        delete widget.data();
    }
    if (window.parent() != nullptr) {
        Window* top = topLevelOf(*window.parent());
        if (top != &window) arrangeIfShown(*top);
    }
}

void QtBackend::windowChanged(Window& window, Change what, const ChangeRange& range) {
    if (what == Change::Focus) {
        mirrorFocus();
        showDefaultButton(*topLevelOf(window));
        return;
    }
    View* view = find(&window);
    if (view == nullptr) return;
    {
        View::Sync sync;
        view->updatePart(what, range);
    }
    if (what == Change::Text || what == Change::Rect || what == Change::ReadOnly ||
        what == Change::Style)
        showEditTip(window);
    // Tab stops change with the style; a label's access key with its text.
    if (what == Change::Style || (what == Change::Text && window.kind() == ControlKind::Static))
        arrangeIfShown(window);
    if (what == Change::Enabled || what == Change::Visible || what == Change::Style) mirrorFocus();
}

void QtBackend::showEditTip(Window& window) {
    if (window.kind() != ControlKind::Edit) return;
    View* view = find(&window);
    if (view != nullptr && view->widget() != nullptr)
        showCutTextTip(view->widget(), toQString(window.text()));
}

void QtBackend::arrangeIfShown(Window& window) {
    Window* top = topLevelOf(window);
    View* view = find(top);
    if (view != nullptr && view->widget() != nullptr && view->widget()->isVisible()) arrange(*top);
}

void QtBackend::arrange(Window& top) {
    std::vector<View*> order;
    collectViews(*this, top, order);
    View::Sync sync;
    // Tab order: the template order of the tab stops.
    QWidget* previous = nullptr;
    for (View* view : order) {
        QWidget* widget = view->widget();
        if (widget == nullptr) continue;
        Qt::FocusPolicy policy = view->focusPolicy();
        widget->setFocusPolicy(policy);
        if (!(policy & Qt::TabFocus)) continue;
        if (previous != nullptr && previous->window() == widget->window())
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i]->arrange(order, i);
    lowerGroupBoxes(order);
}

void QtBackend::showDefaultButton(Window& top) {
    // As the original shows it: the focused push button looks like the default one; with the
    // focus elsewhere the template's default button does.
    Window* focus = focusWindow();
    bool onButton =
        focus != nullptr && focus->kind() == ControlKind::PushButton && focus->isWithin(&top);
    std::vector<View*> order;
    collectViews(*this, top, order);
    View::Sync sync;
    QPushButton* chosen = nullptr;
    for (View* view : order) {
        auto* button = qobject_cast<QPushButton*>(view->widget());
        if (button == nullptr || view->window().kind() != ControlKind::PushButton) continue;
        bool isDefault = onButton ? &view->window() == focus
                                  : (view->window().style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        if (isDefault)
            chosen = button;
        else if (button->isDefault())
            button->setDefault(false);
    }
    if (chosen != nullptr && !chosen->isDefault()) chosen->setDefault(true);
}

void QtBackend::mirrorFocus() {
    View::Sync sync;
    Window* focus = focusWindow();
    View* view = focus != nullptr ? find(focus) : nullptr;
    if (view != nullptr && view->widget() != nullptr) {
        QWidget* widget = view->widget();
        if (widget->window()->focusWidget() != widget) widget->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (focus == nullptr) {
        // Nobody has the focus in the model: no widget of ours keeps it.
        QWidget* current = QApplication::focusWidget();
        if (current != nullptr) {
            for (const auto& [window, v] : m_views) {
                if (v->widget() == current) {
                    current->clearFocus();
                    break;
                }
            }
        }
    }
}

void QtBackend::runModal(CDialog& dialog, const ModalScript& script) {
    Window* window = dialog.m_hWnd;
    View* view = window != nullptr ? ensureView(*window) : nullptr;
    auto* topLevel = dynamic_cast<TopLevelView*>(view);
    QPointer<QWidget> widget = view != nullptr ? view->widget() : nullptr;

    // Whatever ends the run, an exception included, the window leaves the screen and the run
    // leaves the stack. The run is on the stack before any event is delivered, so that an
    // exception from a handler always finds a run to end.
    struct Running {
        QtBackend& backend;
        Window* window;
        View* view;
        TopLevelView* topLevel;
        QPointer<QWidget> widget;
        ~Running() {
            backend.m_running.pop_back();
            if (widget && backend.find(window) == view && topLevel != nullptr) {
                View::Sync sync;
                topLevel->setRunning(false);
            }
        }
    } running{*this, window, view, topLevel, widget};
    m_running.push_back(&dialog);

    if (topLevel != nullptr && widget) {
        arrange(*window);
        {
            View::Sync sync;
            topLevel->setRunning(true);
        }
        mirrorFocus();
        QCoreApplication::processEvents(); // lays the widgets out and delivers the activation
    }

    if (script) {
        script(dialog);
    } else if (dialog.IsModalRunning()) {
        if (!widget) {
            dialog.EndDialog(IDCANCEL); // nothing on screen that a person could answer
        } else {
            QEventLoop loop;
            m_loops.emplace_back(&dialog, &loop);
            loop.exec(QEventLoop::DialogExec);
            m_loops.erase(std::find(m_loops.begin(), m_loops.end(),
                                    std::make_pair(static_cast<const CDialog*>(&dialog), &loop)));
            // The application is quitting: the dialog ends as if cancelled.
            if (dialog.IsModalRunning()) dialog.EndDialog(IDCANCEL);
        }
    }
    if (m_carried) std::rethrow_exception(std::exchange(m_carried, nullptr));
}

bool QtBackend::carryException(std::exception_ptr exception) {
    if (m_running.empty()) return false;
    if (!m_carried) m_carried = std::move(exception);
    if (m_running.back()->IsModalRunning()) m_running.back()->EndDialog(IDCANCEL);
    return true;
}

void QtBackend::endModal(CDialog& dialog) {
    for (auto& [running, loop] : m_loops)
        if (running == &dialog) loop->quit();
}

int QtBackend::messageBox(CWnd* owner, const std::string& text, const std::string& caption,
                          UINT type) {
    return showMessageBox(parentFor(owner), text, caption, type);
}

void QtBackend::beep(UINT) {
    QApplication::beep();
}

automation::FileDialogAnswer QtBackend::fileDialog(CWnd* owner,
                                                   const automation::FileDialogCall& call,
                                                   const FileChoiceCheck& check) {
    return showFileDialog(parentFor(owner), call, check);
}

QWidget* QtBackend::parentFor(CWnd* owner) const {
    if (owner != nullptr && owner->m_hWnd != nullptr)
        if (View* view = find(topLevelOf(*owner->m_hWnd)); view != nullptr && view->widget())
            return view->widget()->window();
    // Without an owner of the model: over whatever window the person is working in, so that
    // a question asked from inside a file dialog comes up in front of it.
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

// --- Public functions ---------------------------------------------------------------------------

bool install() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) return false;
    loadItalianQtTexts(*app);
    // Disabled edits, lists and boxes show the dialog's face colour behind their text, as the
    // system draws them, never the white of an input.
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Disabled, QPalette::Base,
                     palette.color(QPalette::Active, QPalette::Window));
    QApplication::setPalette(palette);
    platform::setBackend(std::make_unique<QtBackend>());
    return true;
}

QWidget* widgetFor(const platform::Window* window) {
    View* view = viewFor(window);
    return view != nullptr ? view->widget() : nullptr;
}

bool grab(const CDialog& dialog, const std::string& pngPath) {
    QWidget* widget = widgetFor(dialog.m_hWnd);
    if (widget == nullptr || pngPath.empty()) return false;
    widget->ensurePolished();
    QPixmap shot = widget->grab();
    if (shot.isNull()) return false;
    if (hasCaption(widget)) shot = withCaption(widget, shot);
    return shot.save(QString::fromStdString(pngPath), "PNG");
}

} // namespace platform::qt
