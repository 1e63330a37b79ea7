// "Dati GIS": the theme of the point's GIS entity and its attribute values. The page never
// touches the point's own entity while the editor is open: it edits a clone (or, after the
// user chose another theme, a new point entity) in a table control, and only when the editor
// is confirmed brings the point's entity in line with the chosen theme and copies the values.
// The name, description and graphic model are shown only; the other pages edit them.
#pragma once

#include "platform/propsheet.h"

#include <string>

class CNewDlgModPunGps;
class CPunGps;
namespace gis {
class CLibGis;
class CDBTable;
class CEnt;
} // namespace gis
namespace kit {
class CResultRow;
}

class CModPunGpsPage4 : public CPropertyPage {
public:
    CModPunGpsPage4();
    ~CModPunGpsPage4() override;

    /// Takes the point's GIS entity from the GIS library and clones it for editing.
    void LoadGis(gis::CLibGis* gis, CPunGps* point);
    /// \return false while the table control does not accept its pending input
    bool CommitCheck();
    /// Brings the point's GIS entity in line with the chosen theme and writes the edited
    /// values into its row; does nothing when the page was never shown.
    void StoreGis();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnThemeChanged();
    DECLARE_MESSAGE_MAP()

private:
    CPunGps* Working() const;
    /// The place-holder's rectangle in the page's client coordinates, its top one pixel up.
    RECT TableRect() const;
    void CreateTableCtrl();
    void DestroyTableCtrl();
    void DeleteEditedEntity();
    /// Shows the working point's name and code in the predefined fields and moves the edited
    /// entity's vertex to the working point.
    void RefreshTableCtrl();

    CComboBox m_listModel;
    int m_nModel = -1;
    std::string m_strDescription;
    std::string m_strGroup;
    std::string m_strName;
    CStatic m_placeHolder;
    CComboBox m_listTheme;

    gis::CLibGis* m_pGis = nullptr;
    CPunGps* m_pPoint = nullptr;
    gis::CDBTable* m_pTable = nullptr;
    gis::CEnt* m_pEditedEnt = nullptr;      ///< owned, deleted through the GIS library
    kit::CResultRow* m_pPointRow = nullptr; ///< the row of the point's own entity
    kit::CResultRow* m_pEditedRow = nullptr;
    CWnd* m_pTableCtrl = nullptr; ///< owned, destroyed through the GIS library
    CNewDlgModPunGps* m_pEditor = nullptr;
    int m_nPart = -1;
    int m_nVert = -1;
};
