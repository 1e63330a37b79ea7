// The toolkit's editable grid and the listener through which its owner hears the mouse, the
// keyboard and the in-place editors. Built on the platform's grid control: everything
// CGridCtrl offers is there too.
#pragma once

#include "platform/grid.h"

#include <string>
#include <vector>

class CMSGridCtrl2;

/// \brief Key flag of the mouse operations: the left button is down.
inline constexpr UINT MK_LBUTTON = 0x0001;

/// \brief Formats that FormatRow gives to every cell of a row.
struct CMsGrid_ItemFormat {
    /// \brief DT_ flags of the cell text (alignment, single line).
    UINT nFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    /// \brief Background and text colours; CLR_DEFAULT keeps the cell's own.
    COLORREF crBkClr = CLR_DEFAULT;
    COLORREF crFgClr = CLR_DEFAULT;
};

/// \brief Hears what happens in a CMSGridCtrl2. Every operation has a default that lets the
///        grid go on as it would without a listener.
class INotifyMsGridCtrl2 {
public:
    virtual ~INotifyMsGridCtrl2() = default;

    /// \brief A cell's in-place editor is about to open. \return false refuses the edit
    virtual bool OnProcessEditCell(CMSGridCtrl2* grid, int row, int col) { return true; }
    /// \brief The in-place editor of a cell is being made. \return false refuses the edit
    virtual bool OnProcessCreateInPlaceControl(CMSGridCtrl2* grid, int row, int col) {
        return true;
    }
    /// \brief The drop-down editor of a cell asks for its entries: append them to \p choices
    ///        (it arrives empty). \p text is the cell's text.
    virtual void OnProcessFillInPlaceComboControl(CMSGridCtrl2* grid, int row, int col,
                                                  const std::string& text,
                                                  std::vector<std::string>& choices) {}
    /// \brief The text box editor of a cell is being made; \p mask may receive an input mask
    ///        (the grid ignores it for now). \return false refuses the edit
    virtual bool OnProcessGetInPlaceMaskEditControl(CMSGridCtrl2* grid, int row, int col,
                                                    std::string& mask) {
        return true;
    }

    // Mouse. \p flags are the key flags (MK_ bits), \p point the position in the grid; a
    // result of false from OnProcessLButtonDown refuses the click.
    virtual bool OnProcessMouseMove(CMSGridCtrl2* grid, UINT flags, POINT point) { return true; }
    virtual bool OnProcessLButtonDown(CMSGridCtrl2* grid, UINT flags, POINT point) { return true; }
    /// \brief The left button was released over the grid, after the click moved the selection.
    virtual bool OnProcessLButtonUp(CMSGridCtrl2* grid, UINT flags, POINT point) { return true; }
    virtual bool OnProcessLButtonDblClk(CMSGridCtrl2* grid, UINT flags, POINT point) {
        return true;
    }
    virtual bool OnProcessRButtonDown(CMSGridCtrl2* grid, UINT flags, POINT point) { return true; }
    virtual bool OnProcessRButtonUp(CMSGridCtrl2* grid, UINT flags, POINT point) { return true; }
    virtual bool OnProcessRButtonDblClk(CMSGridCtrl2* grid, UINT flags, POINT point) {
        return true;
    }

    // Keyboard. \return false swallows the key
    virtual bool OnProcessKeyDown(CMSGridCtrl2* grid, UINT key, UINT repeat, UINT flags) {
        return true;
    }
    virtual bool OnProcessChar(CMSGridCtrl2* grid, UINT key, UINT repeat, UINT flags) {
        return true;
    }
};

/// \brief The toolkit's grid: the platform grid with a row-number column, rows added only by
///        the program (unless SetAutoAddRow), and one listener.
///
/// In-place editing: column 0 holds what names the row and opens no editor; a cell of any
/// later column opens a drop-down list filled by the listener
/// (OnProcessFillInPlaceComboControl), and nothing when the listener offers no entries.
/// Read-only cells (GVIS_READONLY) open nothing.
class CMSGridCtrl2 : public CGridCtrl, private IGridListener {
public:
    /// \brief A grid of 0 rows and 0 columns; nothing shows before Create.
    CMSGridCtrl2();
    ~CMSGridCtrl2() override;

    /// \brief Creates the grid window as a child of \p parent, in \p rect (client coordinates
    ///        of the parent).
    bool Create(const RECT& rect, CWnd* parent, UINT id,
                DWORD style = WS_CHILD | WS_BORDER | WS_TABSTOP | WS_VISIBLE) override;
    using CGridCtrl::Create;

    /// \brief Appends (\p column -1) or inserts a column with a heading and a text format.
    /// \return its index, -1 on failure
    int InsertColumn(const std::string& heading, UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE,
                     int column = -1);
    /// \brief Whether Enter or a move past the last row adds a row by itself.
    void SetAutoAddRow(bool autoAdd) { m_autoAddRow = autoAdd; }
    bool GetAutoAddRow() const { return m_autoAddRow; }
    /// \brief Numbers the rows in the row-number column, from \p first.
    void SetAutoEnumRow(bool on, int first = 1) { SetRowNumbers(on, first); }
    /// \brief Gives every cell of \p row the text format and the colours of \p format.
    bool FormatRow(int row, const CMsGrid_ItemFormat& format);
    /// \brief The listener (not owned; null for none).
    void RegisterForWinMsgNotify(INotifyMsGridCtrl2* listener) { m_notify = listener; }
    INotifyMsGridCtrl2* GetWinMsgNotify() const { return m_notify; }

private:
    bool OnGridClick(CGridCtrl& grid, int row, int column) override;
    void OnGridClicked(CGridCtrl& grid, int row, int column) override;
    bool OnGridBeginEdit(CGridCtrl& grid, int row, int column,
                         std::vector<std::string>& choices) override;
    POINT cellPoint(int row, int column) const;

    INotifyMsGridCtrl2* m_notify = nullptr;
    bool m_autoAddRow = true;
};
