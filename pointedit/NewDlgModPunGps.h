// "Modifica punto GPS": the point editor window. It edits a working copy of one GPS point on
// the five pages of its sheet and copies the copy back into the point only when the user
// confirms; the pages reach the editor context through this window.
#pragma once

#include "ModPunGpsSheet.h"
#include "platform/dialog.h"

#include <memory>
#include <string>

class CCts;
class CGestGps;
class CGrpGps;
class CLibGps;
class CPunGps;
namespace gis {
class CLibGis;
}

class CNewDlgModPunGps : public CDialog {
public:
    explicit CNewDlgModPunGps(CWnd* parent = nullptr);
    ~CNewDlgModPunGps() override;

    /// Makes the working point from \p point and keeps the editor context; reads the page to
    /// start on from the settings.
    void Load(CCts* cts, CPunGps* point, CLibGps* lib, gis::CLibGis* gis, bool editCoord,
              CGestGps* host, bool full);
    /// After OK: GIS attributes, the working point's values, the VRS rule, the page to start
    /// on next time.
    void CopyBack();

    /// The editor window of a page: the owner of the page's sheet or, when the sheet has no
    /// owner, its parent; null when the page is in no editor.
    static CNewDlgModPunGps* OfPage(const CWnd& page);
    /// Fills a page's graphic-model list: an empty entry, the field book's options, and the
    /// working point's model when the book does not offer it (it is shown and kept).
    /// \return the entry of the working point's model (0: none)
    int FillModelList(CComboBox& list) const;

    // The editor context, read by the pages.
    CPunGps* Point() const { return m_pPoint; }
    CPunGps* WorkingPoint() const { return m_pWorking.get(); }
    CGrpGps* Group() const { return m_pGroup; }
    CLibGps* Book() const { return m_pLib; }
    CCts* Context() const { return m_pCts; }
    gis::CLibGis* Gis() const { return m_pGis; }
    CGestGps* Host() const { return m_pHost; }
    bool EditCoord() const { return m_bEditCoord; }
    bool Full() const { return m_bFull; }

    /// The OK button follows the pages' required fields.
    /// The OK rule's verdict on the required fields of the page that applied it last.
    void EnableOk(bool enable);
    /// Whether the precision fields hold numbers (or nothing): OK is enabled only when both
    /// this and the OK rule's verdict allow it.
    void SetPrecisionUsable(bool usable);
    void SetPointChanged(bool changed) { m_bPointChanged = changed; }
    bool PointChanged() const { return m_bPointChanged; }
    void SetCurrentPage(int index) { m_nCurrentPage = index; }
    int CurrentPage() const { return m_nCurrentPage; }
    int StartPage() const { return m_nStartPage; }
    std::string& GisThemeName() { return m_strGisTheme; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    int OnCreate(LPCREATESTRUCT create);
    void OnClose();
    void OnNote();
    DECLARE_MESSAGE_MAP()

private:
    CButton m_btnOk;
    CStatic m_frame;
    CButton m_btnNote;
    CModPunGpsSheet m_sheet;
    std::string m_strGisTheme;
    bool m_bPointChanged = false;
    bool m_bRulePasses = true;
    bool m_bPrecisionUsable = true;
    int m_nStartPage = 0;
    int m_nCurrentPage = 0;

    CPunGps* m_pPoint = nullptr;
    std::unique_ptr<CPunGps> m_pWorking;
    CGrpGps* m_pGroup = nullptr;
    CLibGps* m_pLib = nullptr;
    CCts* m_pCts = nullptr;
    gis::CLibGis* m_pGis = nullptr;
    CGestGps* m_pHost = nullptr;
    bool m_bEditCoord = true;
    bool m_bFull = false;
};
