// Views of the Qt backend: one View per window of the control model, made by the creator
// registered for the window's class name or kind. A view writes the model's state into its
// widget and turns what a person does in the widget into the platform's user actions, so the
// model stays the only place where state lives.
#pragma once

#include "platform/model.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::qt {

inline QString toQString(const std::string& text) {
    return QString::fromUtf8(text);
}
inline std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}
/// \brief Shows the model's text in a widget with text()/setText(), touching it only when it
///        differs (so that a view never reports a change of its own).
template <typename Widget> void showModelText(Widget* widget, const std::string& text) {
    QString shown = toQString(text);
    if (widget->text() != shown) widget->setText(shown);
}

/// \brief The Qt view of one window of the control model.
///
/// The widget belongs to the view: the backend deletes it when the window goes away.
class View {
public:
    /// \param window the model window shown
    /// \param widget the widget that shows it (already parented, or a top-level window)
    View(Window& window, QWidget* widget);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    Window& window() const { return *m_window; }
    QWidget* widget() const { return m_widget; }
    /// \brief The widget in which the widgets of child windows are placed.
    virtual QWidget* container() const { return widget(); }

    /// \brief Shows one kind of change of the window. The base class handles the rectangle,
    ///        the enabled and visible states and the focus policy; views add what they show.
    ///        Called with model-to-widget writes marked (see Sync): no user action follows.
    virtual void update(Change what);
    /// \brief Shows a change that concerns only part of the window's contents (some items,
    ///        rows or cells). Views of lists and grids override it to touch only that part;
    ///        by default the whole kind of change is shown again.
    virtual void updatePart(Change what, const ChangeRange& range) { update(what); }
    /// \brief Shows the whole state of the window (after creation).
    void refresh();

    /// \brief The widget's geometry in its parent for the window's model rectangle.
    virtual QRect geometry() const;
    /// \brief How the widget takes the focus: none for statics and group boxes, Tab and click
    ///        for tab stops, click only for the other controls.
    virtual Qt::FocusPolicy focusPolicy() const;
    /// \brief True when the widget itself uses the Enter key (multi-line edits that want it).
    virtual bool takesReturn() const { return false; }
    /// \brief True when a focus-in of the widget may move the model's focus.
    virtual bool followsFocus() const { return true; }
    /// \brief Called when all windows of a dialog exist, with the views of the dialog in
    ///        template (tab) order, pages included; \p self is this view's position.
    virtual void arrange(const std::vector<View*>& order, std::size_t self) {}

    /// \brief Runs a user action (one of the platform::user... calls) on the window, then shows
    ///        the model's state again where the widget may have moved on its own. Refused
    ///        (false) while model state is being written into widgets.
    bool act(const std::function<bool(Window&)>& action);

    /// \brief True while model state is being written into widgets: widget signals are then
    ///        not user actions.
    static bool syncing();

    /// \brief Marks a model-to-widget write for as long as it lives.
    class Sync {
    public:
        Sync();
        ~Sync();
        Sync(const Sync&) = delete;
        Sync& operator=(const Sync&) = delete;
    };

protected:
    /// \brief What act() refreshes after the user action: by default text, check and selection.
    virtual void afterUserAction();
    /// \brief The owner of the view's signal connections: they end with the view.
    QObject* context() { return &m_context; }

private:
    Window* m_window;
    QObject m_context;
    std::shared_ptr<bool> m_alive;
    QPointer<QWidget> m_widget;
};

/// \brief Makes the view of a window. \p parent is the container of the parent window's view,
///        or null for a top-level window.
using ViewCreator = std::function<std::unique_ptr<View>(Window& window, QWidget* parent)>;

/// \brief Registers the creator for windows of a kind (replacing an earlier one).
void registerView(ControlKind kind, ViewCreator creator);
/// \brief Registers the creator for windows of a class name (case-insensitive); it is
///        preferred to the creator of the window's kind.
void registerView(const std::string& className, ViewCreator creator);

/// \brief The view of a window, or null.
View* viewFor(const Window* window);

} // namespace platform::qt
