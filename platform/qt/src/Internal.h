// Pieces of the Qt backend shared between its source files.
#pragma once

#include <exception>

#include "platform/backend.h"
#include "platform/qt/View.h"
#include "platform/resources.h"

#include <QFont>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class QEventLoop;

namespace platform::qt {

// --- Fonts ----------------------------------------------------------------------------------

/// Base units (pixels per 4 horizontal and 8 vertical dialog units) of a Qt font, measured as
/// the original framework measures its dialog fonts.
SIZE baseUnitsOf(const QFont& font);
/// The font of the template a window belongs to (the default dialog font when none).
QFont fontOfWindow(const Window& window);

// --- Views ----------------------------------------------------------------------------------

/// Makes the view of a window with the creator registered for its class name or kind.
std::unique_ptr<View> createView(Window& window, QWidget* parent);
/// True while a user action that started in \p widget, or in a widget inside it, is running:
/// the widget must then outlive the action.
bool isActing(const QWidget* widget);
/// The event filter that turns Enter, Escape, the close box and focus changes of every view's
/// widget into user actions.
QObject* userInputFilter();

// Creators of the standard views, one per kind (registered by View.cpp).
std::unique_ptr<View> makeDialogView(Window& window, QWidget* parent);
std::unique_ptr<View> makeStaticView(Window& window, QWidget* parent);
std::unique_ptr<View> makeGroupBoxView(Window& window, QWidget* parent);
std::unique_ptr<View> makeEditView(Window& window, QWidget* parent);
std::unique_ptr<View> makePushButtonView(Window& window, QWidget* parent);
std::unique_ptr<View> makeCheckBoxView(Window& window, QWidget* parent);
std::unique_ptr<View> makeRadioButtonView(Window& window, QWidget* parent);
std::unique_ptr<View> makeComboBoxView(Window& window, QWidget* parent);
std::unique_ptr<View> makeListBoxView(Window& window, QWidget* parent);
std::unique_ptr<View> makeListViewView(Window& window, QWidget* parent);
std::unique_ptr<View> makeTabView(Window& window, QWidget* parent);
std::unique_ptr<View> makeCustomView(Window& window, QWidget* parent);
/// The grid's view (class GpsGridCtrl).
std::unique_ptr<View> makeGridView(Window& window, QWidget* parent);

/// A top-level dialog's view: shown only while it runs modally.
class TopLevelView {
public:
    virtual ~TopLevelView() = default;
    virtual void setRunning(bool running) = 0;
};

/// True for views of group boxes (kept behind the controls they frame).
bool isGroupBoxView(const View* view);
/// Gives a label, or a read-only line edit, its whole text \p text as its tool tip while its
/// rectangle cuts it, as the system's dialogs show a cut text; takes away only a tip it gave.
void showCutTextTip(QWidget* widget, const QString& text);

// --- Message boxes --------------------------------------------------------------------------

/// Shows a message box with Italian button labels; returns the IDOK/IDCANCEL/... of the button.
int showMessageBox(QWidget* parent, const std::string& text, const std::string& caption, UINT type);

// --- File dialogs ---------------------------------------------------------------------------

/// Shows Qt's own file dialog (not the desktop's), in Italian, until a choice passes \p check
/// or the person cancels.
automation::FileDialogAnswer showFileDialog(QWidget* parent, const automation::FileDialogCall& call,
                                            const FileChoiceCheck& check);

// --- The backend ----------------------------------------------------------------------------

class QtBackend final : public Backend {
public:
    QtBackend();
    ~QtBackend() override;

    std::string name() const override { return "qt"; }
    SIZE dialogBaseUnits(const FontSpec& font) override;
    SIZE screenSize() override;
    RECT workArea(const Window* owner) override;
    std::optional<POINT> hostOwnerOrigin() override;
    void runModal(CDialog& dialog, const ModalScript& script) override;
    void endModal(CDialog& dialog) override;
    int messageBox(CWnd* owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    void beep(UINT type) override;
    automation::FileDialogAnswer fileDialog(CWnd* owner, const automation::FileDialogCall& call,
                                            const FileChoiceCheck& check) override;
    void windowCreated(Window& window) override;
    void windowDestroyed(Window& window) override;
    void windowChanged(Window& window, Change what, const ChangeRange& range) override;

    View* find(const Window* window) const;

    /// An exception left a user action (a handler or a host callback it called). It must not
    /// unwind through Qt's event dispatch: the innermost modal dialog ends as cancelled and its
    /// runModal throws the exception again once Qt is out of the way.
    /// \return false when no modal run is under way to take it out
    bool carryException(std::exception_ptr exception);

private:
    View* ensureView(Window& window);
    /// The widget over which a message box or file dialog of \p owner comes up.
    QWidget* parentFor(CWnd* owner) const;
    /// The host's window that owns a dialog made without an owner of the model: the window the
    /// person works in. Null when there is none.
    static QWidget* hostOwner();
    /// Tab order, access keys and group boxes of the top-level dialog holding \p window, when
    /// that dialog is on screen (it is arranged anyway before it is shown).
    void arrangeIfShown(Window& window);
    /// A read-only edit that cuts its text shows it whole as its tool tip.
    void showEditTip(Window& window);
    void arrange(Window& top);
    /// Puts the Qt focus where the model's focus is.
    void mirrorFocus();
    /// Gives the default look to the focused push button, or else to the template's default.
    void showDefaultButton(Window& top);

    std::unordered_map<const Window*, std::unique_ptr<View>> m_views;
    std::vector<std::pair<const CDialog*, QEventLoop*>> m_loops;
    std::vector<CDialog*> m_running; ///< dialogs in runModal, innermost last
    std::exception_ptr m_carried;
    std::map<std::tuple<int, std::string, int, bool>, SIZE> m_baseUnits;
};

/// The current backend when it is the Qt backend, else null.
QtBackend* currentQtBackend();

} // namespace platform::qt
