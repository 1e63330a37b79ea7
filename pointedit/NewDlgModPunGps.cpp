#include "NewDlgModPunGps.h"

#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

#include <vector>

namespace {

const char* const kSettingsSection = "EDIT_GPS";
const char* const kSettingsKey = "ModPt";
const char* const kDeclarationTitle = "Edita dichiarazione di correzione - Punto Gps";

// Everything the editor carries from one point to the other, in the order the host's data
// library expects: name and code before the model, the position before the plane coordinates.
void CopyPointValues(const CPunGps& from, CPunGps& to, bool withHead) {
    if (withHead) {
        to.SetNome(from.GetNome());
        to.SetCode(from.GetCode());
        to.SetAttribDis(from.GetAttribDis());
    }
    to.SetAltAnt(from.GetAltAnt());
    to.SetLat(from.GetLat());
    to.SetLong(from.GetLong());
    to.SetElev(from.GetElev());
    to.SetCoordXY(from.GetCoordX(), from.GetCoordY());
    to.SetCoordZ(from.GetCoordZ());
    to.SetCodeOR(from.IsCodedOR());
    to.SetCodeIL(from.IsCodedIL());
    to.SetCodeQU(from.IsCodedQU());
    to.SetCodeFL(from.IsCodedFL());
    to.SetCodeCL(from.IsCodedCL());
    to.SetCodeNC(from.IsCodedNC());
    to.SetCodeNV(from.IsCodedNV());
    to.SetCodeNT(from.IsCodedNT());
    to.SetCodeNL(from.IsCodedNL());
    to.SetCodeNP(from.IsCodedNP());
    to.SetCodeOC(from.IsCodedOC());
    to.SetCodeLD(from.IsCodedLD());
    to.SetCodeNE(from.IsCodedNE());
    double e[6] = {EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE};
    from.GetDatiErrStat(e[0], e[1], e[2], e[3], e[4], e[5]);
    to.SetDatiErrStat(e[0], e[1], e[2], e[3], e[4], e[5]);
    to.SetGdop(from.GetGdop());
    to.SetPdop(from.GetPdop());
    to.SetPosCov_xx(from.GetPosCov_xx());
    to.SetPosCov_xy(from.GetPosCov_xy());
    to.SetPosCov_xz(from.GetPosCov_xz());
    to.SetPosCov_yy(from.GetPosCov_yy());
    to.SetPosCov_yz(from.GetPosCov_yz());
    to.SetPosCov_zz(from.GetPosCov_zz());
    to.SetNote(from.GetNote());
}

} // namespace

CNewDlgModPunGps::CNewDlgModPunGps(CWnd* parent) : CDialog(IDD_MOD_PUN_GPS, parent) {}

CNewDlgModPunGps::~CNewDlgModPunGps() {
    // The sheet and its pages go first: their windows look back at the working point.
    if (m_sheet.GetSafeHwnd() != nullptr) m_sheet.DestroyWindow();
    m_pWorking.reset();
}

BEGIN_MESSAGE_MAP(CNewDlgModPunGps, CDialog)
ON_WM_CREATE() // NOLINT(performance-no-int-to-ptr): the creation data travels as LPARAM
ON_WM_CLOSE()
ON_BN_CLICKED(IDC_POINT_NOTE, &CNewDlgModPunGps::OnNote)
END_MESSAGE_MAP()

void CNewDlgModPunGps::Load(CCts* cts, CPunGps* point, CLibGps* lib, gis::CLibGis* gis,
                            bool editCoord, CGestGps* host, bool full) {
    m_pPoint = point;
    m_pCts = cts;
    m_bFull = full;
    int groupIndex = -1;
    int pointIndex = -1;
    lib->GetIndiciDiPun(point, groupIndex, pointIndex);
    m_pWorking = std::make_unique<CPunGps>(nullptr, false, lib->GetGrpAt(groupIndex));
    m_pHost = host;
    m_bEditCoord = editCoord;

    m_pWorking->SetNome(point->GetNome());
    m_pWorking->SetCode(point->GetCode());
    m_pWorking->SetAttribDis(point->GetAttribDis());
    m_strGisTheme = gis->GetThemeName(point->GetEntVert()).GetText();
    CopyPointValues(*point, *m_pWorking, false);
    if (point->IsPointVrs()) m_pWorking->SetPointAsVrs();

    m_pGroup = point->m_pGrp;
    m_pLib = lib;
    m_pGis = gis;
    m_nStartPage = CIniFile().GetShort(kSettingsSection, kSettingsKey, 0);
}

void CNewDlgModPunGps::CopyBack() {
    m_sheet.m_page4.StoreGis();
    if (m_pWorking) {
        CopyPointValues(*m_pWorking, *m_pPoint, true);
        if (m_pWorking->IsPointVrs()) {
            int groupIndex = -1;
            int pointIndex = -1;
            m_pLib->GetIndiciDiPun(m_pPoint, groupIndex, pointIndex);
            std::vector<int> cleared;
            m_pGroup->ClearAllPointVrs(pointIndex, cleared);
            m_pPoint->SetPointAsVrs();
        } else {
            m_pPoint->ClearPointAsVrs();
        }
        m_pWorking.reset();
    }
    m_nStartPage = m_nCurrentPage;
    CIniFile().WriteShort(kSettingsSection, kSettingsKey, static_cast<short>(m_nStartPage));
}

CNewDlgModPunGps* CNewDlgModPunGps::OfPage(const CWnd& page) {
    CWnd* sheet = page.GetParent();
    if (sheet == nullptr) return nullptr;
    CWnd* window = sheet->GetOwner() != nullptr ? sheet->GetOwner() : sheet->GetParent();
    return dynamic_cast<CNewDlgModPunGps*>(window);
}

int CNewDlgModPunGps::FillModelList(CComboBox& list) const {
    list.ResetContent();
    list.AddString("");
    const std::string model = m_pWorking ? m_pWorking->GetAttribDis() : std::string();
    int selected = 0;
    if (m_pLib != nullptr) {
        const COpzListDisEgn& options = m_pLib->m_OpzListDisEgn;
        for (int i = 0; i < options.GetNuOpzCom(); ++i) {
            const COpzDisEgn* option = options.GetOpzCom(i);
            const std::string name = option != nullptr ? option->GetNomeOpz() : std::string();
            list.AddString(name);
            if (name == model) selected = i + 1; // the last option of that name
        }
    }
    if (selected == 0 && !model.empty()) selected = list.AddString(model);
    return selected;
}

void CNewDlgModPunGps::EnableOk(bool enable) {
    m_bRulePasses = enable;
    if (m_btnOk.GetSafeHwnd() != nullptr) m_btnOk.EnableWindow(m_bRulePasses && m_bPrecisionUsable);
}

void CNewDlgModPunGps::SetPrecisionUsable(bool usable) {
    m_bPrecisionUsable = usable;
    EnableOk(m_bRulePasses);
}

void CNewDlgModPunGps::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnOk);
    DDX_Control(dx, IDC_SHEET_FRAME, m_frame);
    DDX_Control(dx, IDC_POINT_NOTE, m_btnNote);
}

int CNewDlgModPunGps::OnCreate(LPCREATESTRUCT create) {
    if (CDialog::OnCreate(create) == -1) return -1;
    // Only the page the editor starts on is activated while the window is being made; the
    // GIS page may be that page, so it takes the point's entity before the sheet exists.
    m_sheet.m_page4.LoadGis(m_pGis, m_pPoint);
    m_sheet.m_psh.nStartPage =
        m_nStartPage >= 0 && m_nStartPage < 5 ? static_cast<UINT>(m_nStartPage) : 0;
    if (!m_sheet.Create(this, WS_CHILD | WS_VISIBLE, 0)) return -1;
    // Keyboard navigation passes into the pages' controls.
    m_sheet.ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    return 0;
}

BOOL CNewDlgModPunGps::OnInitDialog() {
    CDialog::OnInitDialog();
    RECT frame;
    m_frame.GetWindowRect(&frame);
    ScreenToClient(&frame);
    m_sheet.MoveWindow(&frame, true);
    if (m_nStartPage >= 0 && m_nStartPage < m_sheet.GetPageCount())
        m_sheet.SetActivePage(m_nStartPage);
    if (!m_bFull) {
        m_btnNote.EnableWindow(false);
        SetWindowText(kDeclarationTitle);
    }
    return TRUE;
}

void CNewDlgModPunGps::OnOK() {
    if (!m_sheet.m_page4.CommitCheck()) return;
    CDialog::OnOK();
}

void CNewDlgModPunGps::OnClose() {
    OnCancel();
}

void CNewDlgModPunGps::OnNote() {
    if (m_pHost != nullptr && m_pWorking) m_pHost->EditaNote(m_pWorking.get());
}
