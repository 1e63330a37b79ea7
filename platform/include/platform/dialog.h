// Dialogs made from templates, modal runs, and data exchange between controls and members.
#pragma once

#include "platform/wnd.h"

#include <string>

class CDataExchange;

/// \brief A dialog made from a template of the current resource module.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    /// \brief Runs the dialog modally.
    /// \return the value given to EndDialog; -1 when the template is not found in the
    ///         current resource module or the window could not be created
    virtual INT_PTR DoModal();
    /// \brief Creates the dialog as a modeless window (a child when the template says so).
    virtual bool Create(UINT templateId, CWnd* parent = nullptr);
    using CWnd::Create;
    bool DestroyWindow() override;

    /// \brief Ends a modal run with \p result.
    void EndDialog(int result);
    /// \brief True while the dialog runs modally and has not been ended.
    bool IsModalRunning() const { return m_running && !m_ended; }
    int GetModalResult() const { return m_modalResult; }
    UINT GetTemplateId() const { return m_templateId; }

    /// \brief Moves data between controls and members; false when a check failed (the user
    ///        has then been told, and the focus is on the field to correct).
    bool UpdateData(bool saveAndValidate = true);

    void GotoDlgCtrl(CWnd* control);
    /// \brief The default push button's id (0 when none).
    int GetDefID() const;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    /// \brief The style the dialog's window gets from its template's style: a modal run
    ///        makes a visible popup, a modeless creation keeps the template's style, visible.
    virtual DWORD TemplateStyle(DWORD templateStyle, bool modal) const;
    virtual void DoDataExchange(CDataExchange* dx);
    /// \brief Adds the template's initial list items (DLGINIT) to its combo and list boxes.
    bool ExecuteDlgInit();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    bool createWindow(UINT templateId, CWnd* parent, bool modal);
    void destroyModalWindow();

    UINT m_templateId;
    CWnd* m_pParentWnd;
    int m_modalResult = -1;
    bool m_running = false;
    bool m_ended = false;

    friend class CDataExchange;
};

/// \brief While alive, the program's writes into the controls of \p dialog (filling its fields,
///        as UpdateData(false) does) raise no change notifications to the dialog's handlers,
///        so a handler never runs in the middle of its own dialog's fill. Scopes nest.
class CPushScope {
public:
    explicit CPushScope(CWnd& dialog);
    ~CPushScope();
    CPushScope(const CPushScope&) = delete;
    CPushScope& operator=(const CPushScope&) = delete;

private:
    platform::Window* m_window;
};

/// \brief State of one data exchange: direction, dialog and the control being exchanged.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, bool saveAndValidate);

    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;

    /// \brief The control \p id, remembered as the one to focus on failure.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    /// \brief Ends the exchange as failed: focus to the last control; UpdateData returns false.
    [[noreturn]] void Fail();
    /// \brief Shows a data-exchange message (exclamation icon) owned by the dialog.
    void ShowMessage(const std::string& text);
};

void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, short& value);
void DDX_Text(CDataExchange* dx, int id, unsigned int& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Radio(CDataExchange* dx, int firstId, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minValue, double maxValue);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);

namespace platform {
/// \brief Thrown by CDataExchange::Fail and caught by UpdateData; never leaves the platform.
struct DataExchangeFailure {};

/// \brief The platform's text of a double in data exchange: general notation, 15 significant
/// digits.
std::string formatExchangeDouble(double value);
/// \brief Reads a number as data exchange does: blanks around it, '.' or ',' as decimal mark,
///        nothing else; false when the text is not a number.
bool parseExchangeDouble(const std::string& text, double& value);
} // namespace platform
