// "Selezione campi": the layout of the ASCII field-book export. The user picks which fields
// are written and in which order, the decimals of each, the angle format, the separator and
// whether names go in quotes. The layout is read from the settings file ("FILE ASCI") when
// the dialog opens and written back, whole, on OK; whoever writes the export reads the same
// keys.
#pragma once

#include "gpsdialogs/interfaces/MsGrid.h"
#include "platform/dialog.h"

#include <string>
#include <vector>

/// The settings section of the export layout, shared with the exporter.
inline constexpr const char* kAsciiLayoutSection = "FILE ASCI";

class CDlgSelDatiFile : public CDialog, public INotifyMsGridCtrl2 {
public:
    /// The fields the export knows, in id order (0 to 34).
    static constexpr int kFieldCount = 35;
    /// The most rows a layout may have: a damaged "NumCampi" is read as this many at most.
    static constexpr int kMaxFields = 1000;

    explicit CDlgSelDatiFile(CWnd* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnFieldListClick(NMHDR* header, LRESULT* result);
    void OnFieldListDblClk(NMHDR* header, LRESULT* result);
    void OnAddField();
    void OnRemoveField();
    void OnMoveUp();
    void OnMoveDown();
    void OnLayoutCancel();

    // The grid's listener.
    void OnProcessFillInPlaceComboControl(CMSGridCtrl2* grid, int row, int col,
                                          const std::string& text,
                                          std::vector<std::string>& choices) override;
    bool OnProcessLButtonUp(CMSGridCtrl2* grid, UINT flags, POINT point) override;

    DECLARE_MESSAGE_MAP()

private:
    /// Appends a grid row for field \p id; \p decimals is shown only for a field that takes
    /// decimals.
    void AppendRow(int id, int decimals);
    /// Fills column 1 of \p row: the decimals, or the read-only "0" of a field without them.
    void SetDecimalsCell(int row, int id, int decimals);
    void MoveSelectedRow(int target);
    void MarkRowSelected(int row);
    bool FieldHasDecimals(int id) const;
    std::string FieldCaption(int id) const;

    CListCtrl m_listFields;
    CComboBox m_comboAngles;
    CButton m_btnAdd;
    CButton m_btnRemove;
    CButton m_btnUp;
    CButton m_btnDown;
    CMSGridCtrl2 m_grid;
    int m_nSeparator = 0; ///< 0 comma, 1 semicolon, 2 space, 3 tab; -1 none
    int m_nQuotes = 0;    ///< 0 "SI", 1 "NO"; -1 none
    int m_nSelRow = -1;   ///< the grid row the buttons act on
};
