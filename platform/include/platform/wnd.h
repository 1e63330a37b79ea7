// The framework's window classes: CCmdTarget with its message-routing table, CWnd and the
// control classes. Each object is a handle on a Window of the control model (m_hWnd).
#pragma once

#include "platform/model.h"
#include "platform/types.h"

#include <string>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

// Window messages routed through message maps.
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;

// Control notifications (WM_COMMAND codes).
inline constexpr int BN_CLICKED = 0;
inline constexpr int BN_DOUBLECLICKED = 5;
inline constexpr int EN_SETFOCUS = 0x0100;
inline constexpr int EN_KILLFOCUS = 0x0200;
inline constexpr int EN_CHANGE = 0x0300;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int CBN_DBLCLK = 2;
inline constexpr int LBN_SELCHANGE = 1;
inline constexpr int LBN_DBLCLK = 2;
// WM_NOTIFY codes.
inline constexpr int NM_CLICK = -2;
inline constexpr int NM_DBLCLK = -3;
inline constexpr int LVN_ITEMCHANGED = -101;
inline constexpr int TCN_SELCHANGE = -551; ///< the current tab changed
inline constexpr int TCN_SELCHANGING =
    -552; ///< the current tab is about to change: nonzero refuses

inline constexpr UINT SIZE_RESTORED = 0;

/// \brief Header of a WM_NOTIFY notification.
struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    int code = 0;
};
/// \brief List view item notification.
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
};

/// \brief Arguments of window creation (WM_CREATE).
struct CREATESTRUCT {
    std::string lpszName;
    DWORD style = 0;
    DWORD dwExStyle = 0;
    RECT rect;
};
using LPCREATESTRUCT = CREATESTRUCT*;

class CCmdTarget;

/// \brief One row of a message-routing table.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage; ///< WM_COMMAND, WM_NOTIFY, WM_CREATE, WM_CLOSE, WM_SIZE; 0 ends the table
    int nCode;     ///< notification code (WM_COMMAND / WM_NOTIFY)
    int nID;       ///< first control id
    int nLastID;   ///< last control id
    LRESULT (*pfn)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

/// \brief A message-routing table and the table of the base class.
struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;                                              \
                                                                                                   \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr }                                                                        \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]};   \
    return &messageMap;                                                                            \
    }

#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, code, id, id, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                      \
         (static_cast<ThisClass*>(t)->*(memberFxn))();                                             \
         return 0;                                                                                 \
     }},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn)                                                             \
    {WM_NOTIFY, code, id, id, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                     \
         LRESULT result = 0;                                                                       \
         (static_cast<ThisClass*>(t)->*(memberFxn))(reinterpret_cast<NMHDR*>(l), &result);         \
         return result;                                                                            \
     }},
#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                          \
         return static_cast<ThisClass*>(t)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(l));         \
     }},
#define ON_WM_CLOSE()                                                                              \
    {WM_CLOSE, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                             \
         static_cast<ThisClass*>(t)->OnClose();                                                    \
         return 0;                                                                                 \
     }},
#define ON_WM_SIZE()                                                                               \
    {WM_SIZE, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                          \
         static_cast<ThisClass*>(t)->OnSize(static_cast<UINT>(w), static_cast<int>(l & 0xFFFF),    \
                                            static_cast<int>((l >> 16) & 0xFFFF));                 \
         return 0;                                                                                 \
     }},

/// \brief Base of every object that receives messages through a message-routing table.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    /// \brief Looks a message up in the tables of this class and its bases and runs the handler.
    /// \return true when a handler ran
    bool dispatchMessage(UINT message, int code, int id, WPARAM wParam, LPARAM lParam,
                         LRESULT* result = nullptr);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

/// \brief A window object: a handle on a Window of the control model.
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    /// \brief Attaches this object to a window; the window's notifications come here.
    bool Attach(HWND window);
    HWND Detach();
    /// \brief Attaches this object to the dialog's control \p id.
    bool SubclassDlgItem(UINT id, CWnd* parent);
    /// \brief The object for a window: the attached one, or a wrapper that the window owns.
    static CWnd* FromHandle(HWND window);

    /// \brief Creates a child window of \p className (a control or a placeholder).
    virtual bool Create(const std::string& className, const std::string& text, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id, DWORD exStyle = 0);
    virtual bool DestroyWindow();

    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    void SetOwner(CWnd* owner);

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void GetWindowText(std::string& text) const { text = GetWindowText(); }
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;

    bool EnableWindow(bool enable = true);
    bool IsWindowEnabled() const;
    bool ShowWindow(int command);
    bool IsWindowVisible() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    bool ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    bool ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);

    CWnd* SetFocus();
    static CWnd* GetFocus();

    void GetWindowRect(RECT* rect) const;
    void GetClientRect(RECT* rect) const;
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ClientToScreen(POINT* point) const;
    void MoveWindow(int x, int y, int width, int height, bool repaint = true);
    void MoveWindow(const RECT* rect, bool repaint = true);
    bool SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);

    int MessageBox(const std::string& text, const std::string& caption = {}, UINT type = MB_OK);

    /// \brief Routes a message through this window's tables; unhandled messages get the
    ///        framework's default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Default handlers, reached through the message-routing tables.
    int OnCreate(LPCREATESTRUCT create);
    void OnClose();
    void OnSize(UINT type, int cx, int cy);

protected:
    /// \brief A control notification (WM_COMMAND) from child \p id.
    virtual bool OnCommand(int id, int code);
    /// \brief A WM_NOTIFY notification from child \p id.
    virtual bool OnNotify(int id, NMHDR* header, LRESULT* result);
    /// \brief Default processing of a message no table handled.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /// \brief Called when the model window goes away.
    virtual void PostNcDestroy() {}

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

    platform::Window* model() const { return m_hWnd; }

    friend class platform::Window;
};

/// \brief True when \p window is a living window; a stale or foreign handle gives false.
bool IsWindow(HWND window);

/// \brief Static text.
class CStatic : public CWnd {};

// Edit messages that the platform's edit answers, positions counted in characters.
inline constexpr UINT EM_GETSEL = 0x00B0;         ///< wParam, lParam: int* start, end (or null)
inline constexpr UINT EM_SETSEL = 0x00B1;         ///< wParam start, lParam end (-1: to the end)
inline constexpr UINT EM_REPLACESEL = 0x00C2;     ///< lParam: const char* text (UTF-8)
inline constexpr UINT EM_SHOWBALLOONTIP = 0x1503; ///< lParam: const EDITBALLOONTIP*
inline constexpr UINT EM_HIDEBALLOONTIP = 0x1504;

// Balloon tip icons.
inline constexpr int TTI_NONE = 0;
inline constexpr int TTI_INFO = 1;
inline constexpr int TTI_WARNING = 2;
inline constexpr int TTI_ERROR = 3;

/// \brief What EM_SHOWBALLOONTIP shows: a title, a text and an icon.
struct EDITBALLOONTIP {
    DWORD cbStruct = sizeof(EDITBALLOONTIP);
    const char* pszTitle = nullptr;
    const char* pszText = nullptr;
    int ttiIcon = TTI_NONE;
};

/// \brief Edit control.
class CEdit : public CWnd {
public:
    bool SetReadOnly(bool readOnly = true);
    /// \brief Selects characters \p start to \p end (EM_SETSEL): \p end -1 selects to the end,
    ///        (0, -1) all; \p start -1 removes the selection.
    void SetSel(int start, int end, bool noScroll = false);
    /// \brief The selection (EM_GETSEL): start in the low word, end in the high word.
    DWORD GetSel() const;
    void GetSel(int& start, int& end) const;
    /// \brief Replaces the selection with \p text, or inserts it at the caret (EM_REPLACESEL);
    ///        the caret ends after it and the dialog hears of the change.
    void ReplaceSel(const std::string& text, bool canUndo = false);
    /// \brief Shows a balloon tip at the edit (EM_SHOWBALLOONTIP): the system's way of saying
    ///        why a text cannot be used without a modal message. It stays until hidden.
    bool ShowBalloonTip(const std::string& title, const std::string& text, int icon = TTI_NONE);
    bool ShowBalloonTip(const EDITBALLOONTIP* balloon);
    /// \brief Hides the balloon tip (EM_HIDEBALLOONTIP).
    bool HideBalloonTip();

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

/// \brief Push button, check box, radio button or group box.
class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int state);
    UINT GetButtonStyle() const;
};

/// \brief Drop-down list.
class CComboBox : public CWnd {
public:
    int AddString(const std::string& text);
    int InsertString(int index, const std::string& text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetLBText(int index, std::string& text) const;
    int GetLBTextLen(int index) const;
    int FindStringExact(int startAfter, const std::string& text) const;
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
};

/// \brief List box, single or multiple selection.
class CListBox : public CWnd {
public:
    int AddString(const std::string& text);
    int InsertString(int index, const std::string& text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetSel(int index) const;
    int SetSel(int index, bool select = true);
    int GetSelCount() const;
    int GetSelItems(int maxItems, int* items) const;
    int GetText(int index, std::string& text) const;
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    int SetItemDataPtr(int index, void* data) {
        return SetItemData(index, reinterpret_cast<DWORD_PTR>(data));
    }
    void* GetItemDataPtr(int index) const {
        // The item data holds a pointer when the caller stored one: the framework's contract.
        return reinterpret_cast<void*>(GetItemData(index)); // NOLINT(performance-no-int-to-ptr)
    }
};

/// \brief Report-view list.
class CListCtrl : public CWnd {
public:
    int InsertColumn(int index, const std::string& heading, int format = LVCFMT_LEFT,
                     int width = -1, int subItem = -1);
    bool SetColumnWidth(int column, int width);
    int GetColumnCount() const;
    int InsertItem(int index, const std::string& text);
    bool DeleteItem(int index);
    bool DeleteAllItems();
    int GetItemCount() const;
    std::string GetItemText(int index, int subItem) const;
    bool SetItemText(int index, int subItem, const std::string& text);
    bool SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    UINT GetItemState(int index, UINT mask) const;
    bool SetItemState(int index, UINT state, UINT mask);
    int GetNextItem(int start, int flags) const;
    int GetSelectedCount() const;
};
