// Property sheets and their pages, as the system's property-sheet control behaves: a row of
// tabs over a display area, one page shown at a time, a page created on its first activation
// and asked whether it may be left before another one is shown.
#pragma once

#include "platform/dialog.h"
#include "platform/tabctrl.h"

#include <memory>
#include <string>
#include <vector>

class CPropertySheet;

inline constexpr DWORD PSH_NOAPPLYNOW = 0x00000080; ///< no Apply button
inline constexpr DWORD PSH_MODELESS = 0x00000400;
inline constexpr DWORD PSH_NOCONTEXTHELP = 0x02000000;
inline constexpr int AFX_IDC_TAB_CONTROL = 0x3020; ///< id of a sheet's tab control

/// \brief The header of a sheet: its flags and its start page.
struct PROPSHEETHEADER {
    DWORD dwFlags = 0;
    UINT nStartPage = 0;
};

/// \brief A page of a property sheet, made from a child dialog template.
///
/// When its window is created the template's styles are rewritten as the system does:
/// WS_DISABLED, WS_CAPTION, WS_POPUP and WS_VISIBLE removed, WS_CHILD | DS_CONTROL added;
/// the template's caption (or the string \p captionId) is the text of the page's tab.
class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);
    ~CPropertyPage() override;

    /// \brief The page became the active page. By default the controls are filled again
    ///        from the members, except at the first activation (OnInitDialog just did it).
    virtual BOOL OnSetActive();
    /// \brief The page is about to be left. By default the controls are read back into the
    ///        members; FALSE keeps the page active (the user has been told why).
    virtual BOOL OnKillActive();
    /// \brief Hooks of the sheet's OK and Cancel; a page never ends a dialog itself.
    void OnOK() override;
    void OnCancel() override;

    /// \brief The text of the page's tab.
    std::string GetTabText() const;
    /// \brief The sheet that holds the page, or null.
    CPropertySheet* GetParentSheet() const { return m_sheet; }

protected:
    DWORD TemplateStyle(DWORD templateStyle, bool modal) const override;

private:
    friend class CPropertySheet;
    UINT m_captionId;
    CPropertySheet* m_sheet = nullptr;
    bool m_firstSetActive = true;
};

/// \brief A property sheet: a tab control and the pages added to it.
///
/// Only modeless sheets exist here, created as a child of a dialog (Create) whose own buttons
/// serve the sheet: a child sheet shows no buttons of its own and ignores close requests.
class CPropertySheet : public CWnd {
public:
    CPropertySheet();
    explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
    explicit CPropertySheet(const std::string& caption, CWnd* parent = nullptr,
                            UINT selectPage = 0);
    ~CPropertySheet() override;

    PROPSHEETHEADER m_psh;

    /// \brief Adds a page at the end (the page object stays the caller's).
    void AddPage(CPropertyPage* page);
    /// \brief Creates the sheet's window inside \p parent. \p style -1: a visible child with a
    ///        tab stop. The start page becomes active.
    bool Create(CWnd* parent, DWORD style = static_cast<DWORD>(-1), DWORD exStyle = 0);
    using CWnd::Create;

    /// \brief Makes a page active; the active page may refuse to be left (false).
    bool SetActivePage(int index);
    bool SetActivePage(CPropertyPage* page);
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    /// \brief The tab control (null before Create).
    CTabCtrl* GetTabControl() const;
    void SetTitle(const std::string& title, UINT style = 0);
    std::string GetTitle() const { return m_title; }
    /// \brief Tabs always stand in one row; kept for the framework's callers.
    void EnableStackedTabs(bool) {}

    /// \brief Places the tab control on the whole sheet and the pages on its display area.
    void OnSize(UINT type, int cx, int cy);
    void OnClose();

protected:
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    bool activate(int index);
    bool mayLeaveActivePage();
    RECT displayArea() const;

    std::vector<CPropertyPage*> m_pages;
    std::string m_title;
    std::unique_ptr<CTabCtrl> m_tab;
    int m_active = -1;
};
