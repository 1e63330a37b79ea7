// The tab control (window class "SysTabControl32"): a single row of tabs over a display area.
// Property sheets use it for their pages; a dialog may also create one itself.
#pragma once

#include "platform/wnd.h"

#include <string>
#include <vector>

namespace platform {

/// \brief The state of a tab control: its tabs and the current one.
class TabState final : public ControlState {
public:
    struct Tab {
        std::string text;
        LPARAM data = 0;
    };
    std::vector<Tab> tabs;
    int current = -1;

    /// \brief Height in pixels of the row of tabs for the window's base units.
    static int rowHeight(SIZE baseUnits);
    /// \brief The display area of a tab control whose window rectangle is \p rect, or the
    ///        window rectangle that has \p rect as display area (\p larger).
    static void adjustRect(SIZE baseUnits, bool larger, RECT& rect);
};

/// \brief The tab state of a window, or null when it is not a tab control.
TabState* tabStateOf(const Window* window);

} // namespace platform

/// \brief A tab control.
class CTabCtrl : public CWnd {
public:
    /// \brief Creates a tab control as a child of \p parent.
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;

    /// \brief Inserts a tab before \p index (past the end: appends). \return its index, -1 on
    /// error.
    int InsertItem(int index, const std::string& text, LPARAM data = 0);
    bool DeleteItem(int index);
    bool DeleteAllItems();
    int GetItemCount() const;
    std::string GetItemText(int index) const;
    bool SetItemText(int index, const std::string& text);
    LPARAM GetItemData(int index) const;
    int GetCurSel() const;
    /// \brief Makes a tab current without notifying anybody. \return the previous one, -1 on error.
    int SetCurSel(int index);
    /// \brief Display area for a window rectangle (\p larger false), or the reverse.
    void AdjustRect(bool larger, RECT* rect) const;
    /// \brief Number of rows of tabs: always one.
    int GetRowCount() const { return m_hWnd != nullptr ? 1 : 0; }
};
