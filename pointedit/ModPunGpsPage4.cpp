#include "ModPunGpsPage4.h"

#include "NewDlgModPunGps.h"
#include "gpsdialogs/interfaces/Egn.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/GisTableCtrl.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

namespace {
constexpr int kTableCtrlId = IDC_GIS_TABLE;
} // namespace

CModPunGpsPage4::CModPunGpsPage4() : CPropertyPage(IDD_MOD_PUN_GPS_PAGE4) {}

CModPunGpsPage4::~CModPunGpsPage4() {
    DeleteEditedEntity();
    DestroyTableCtrl();
}

BEGIN_MESSAGE_MAP(CModPunGpsPage4, CPropertyPage)
ON_CBN_SELCHANGE(IDC_GIS_THEME, &CModPunGpsPage4::OnThemeChanged)
END_MESSAGE_MAP()

void CModPunGpsPage4::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_GRAPHIC_MODEL, m_listModel);
    DDX_CBIndex(dx, IDC_GRAPHIC_MODEL, m_nModel);
    DDX_Text(dx, IDC_DESCRIPTION, m_strDescription);
    DDX_Text(dx, IDC_GROUP_NAME, m_strGroup);
    DDX_Text(dx, IDC_POINT_NAME, m_strName);
    DDX_Control(dx, IDC_GIS_TABLE_PLACE, m_placeHolder);
    DDX_Control(dx, IDC_GIS_THEME, m_listTheme);
}

BOOL CModPunGpsPage4::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    // Name, description and model are edited on the other pages; here they are shown only,
    // so that nothing typed on this page is silently thrown away.
    for (const int id : {IDC_POINT_NAME, IDC_DESCRIPTION})
        if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(id))) edit->SetReadOnly(true);
    m_listModel.EnableWindow(false);
    return TRUE;
}

CPunGps* CModPunGpsPage4::Working() const {
    return m_pEditor != nullptr ? m_pEditor->WorkingPoint() : nullptr;
}

void CModPunGpsPage4::LoadGis(gis::CLibGis* gis, CPunGps* point) {
    m_pGis = gis;
    m_pPoint = point;
    gis::CEntVert* vertex = point != nullptr ? point->GetEntVert() : nullptr;
    if (m_pGis == nullptr || vertex == nullptr) return;
    gis::CEnt* ent = gis::CLibGis::GetEnt(vertex);
    gis::CTheme* theme = gis::CLibGis::GetTheme(ent);
    m_pTable = m_pGis->GetTable(theme);
    m_pPointRow = m_pGis->GetRow(ent);
    DeleteEditedEntity();
    m_pEditedEnt = m_pGis->CloneEnt(theme, ent);
    m_pEditedRow = m_pGis->GetRow(m_pEditedEnt);
    m_pGis->FindEntVertIndex(ent, vertex, m_nPart, m_nVert);
}

BOOL CModPunGpsPage4::OnSetActive() {
    m_pEditor = CNewDlgModPunGps::OfPage(*this);
    CPunGps* point = Working();
    if (point == nullptr) return CPropertyPage::OnSetActive();
    m_pEditor->SetCurrentPage(4);

    m_strGroup = m_pEditor->Group() != nullptr ? m_pEditor->Group()->GetNomeGrp() : std::string();
    m_strName = point->GetNome();
    m_strDescription = point->GetSecScri();

    {
        CPushScope quiet(*this);
        m_nModel = m_pEditor->FillModelList(m_listModel);

        m_listTheme.ResetContent();
        m_listTheme.AddString("");
        const int themes = m_pGis != nullptr ? m_pGis->GetNumThemes() : 0;
        for (int i = 0; i < themes; ++i) {
            gis::CTheme* theme = m_pGis->GetTheme(i);
            if (gis::CLibGis::GetEntType(theme) == gis::ENT_TYPE_POINT)
                m_listTheme.AddString(gis::CLibGis::GetThemeName(theme).GetText());
        }
        const kit::String themeName(m_pEditor->GisThemeName());
        gis::CTheme* current = m_pGis != nullptr ? m_pGis->FindTheme(themeName) : nullptr;
        if (current != nullptr && gis::CLibGis::GetEntType(current) == gis::ENT_TYPE_POINT) {
            int found = -1;
            for (int i = 0; i < m_listTheme.GetCount() && found < 0; ++i) {
                std::string entry;
                m_listTheme.GetLBText(i, entry);
                if (kit::String(entry).EqualsNoCase(themeName)) found = i;
            }
            m_listTheme.SetCurSel(found);
        } else if (current != nullptr) {
            // An entity of a line or area theme keeps its theme: it cannot become a point.
            m_listTheme.ResetContent();
            m_listTheme.AddString(themeName.GetText());
            m_listTheme.SetCurSel(0);
            m_listTheme.EnableWindow(false);
        }
    }

    if (m_pTableCtrl == nullptr) CreateTableCtrl();
    if (m_pEditor->PointChanged()) RefreshTableCtrl();

    UpdateData(false);
    return CPropertyPage::OnSetActive();
}

BOOL CModPunGpsPage4::OnKillActive() {
    if (!CommitCheck()) return FALSE;
    return CPropertyPage::OnKillActive();
}

void CModPunGpsPage4::OnThemeChanged() {
    if (Working() == nullptr) return;
    UpdateData(true);
    std::string name;
    const int selected = m_listTheme.GetCurSel();
    if (selected >= 0) m_listTheme.GetLBText(selected, name);
    if (name == m_pEditor->GisThemeName()) return;

    m_pEditor->GisThemeName() = name;
    DeleteEditedEntity();
    gis::CTheme* theme = m_pGis != nullptr ? m_pGis->FindTheme(kit::String(name)) : nullptr;
    if (theme != nullptr) {
        m_pTable = m_pGis->GetTable(theme);
        const CPunGps* point = Working();
        m_pEditedEnt = m_pGis->CreateEntPoint(
            theme, kit::geom::PNT_3D{point->GetCoordX(), point->GetCoordY(), point->GetCoordZ()});
        m_pEditedRow = m_pGis->GetRow(m_pEditedEnt);
        m_placeHolder.ShowWindow(SW_SHOW);
    } else {
        m_pTable = nullptr;
        m_pEditedRow = nullptr;
        m_placeHolder.ShowWindow(SW_HIDE);
    }
    DestroyTableCtrl();
    CreateTableCtrl();
    RefreshTableCtrl();
}

RECT CModPunGpsPage4::TableRect() const {
    RECT rect{};
    if (m_placeHolder.GetSafeHwnd() == nullptr) return rect;
    m_placeHolder.GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.top -= 1;
    return rect;
}

void CModPunGpsPage4::CreateTableCtrl() {
    m_pTableCtrl =
        GisTableCtrl_Create(m_pGis, m_pTable, m_pEditedRow, TableRect(), this, kTableCtrlId, true);
}

void CModPunGpsPage4::DestroyTableCtrl() {
    if (m_pTableCtrl == nullptr) return;
    GisTableCtrl_Destroy(m_pTableCtrl);
    m_pTableCtrl = nullptr;
}

void CModPunGpsPage4::DeleteEditedEntity() {
    if (m_pEditedEnt == nullptr) return;
    if (m_pGis != nullptr) m_pGis->DeleteEnt(m_pEditedEnt);
    m_pEditedEnt = nullptr;
    m_pEditedRow = nullptr;
}

void CModPunGpsPage4::RefreshTableCtrl() {
    CPunGps* point = Working();
    if (m_pEditedEnt == nullptr || point == nullptr) return;
    if (m_nPart != -1 && m_nVert != -1) {
        gis::CEntVert* vertex =
            m_pGis->GetEntVert(m_pGis->GetEntPart(m_pEditedEnt, m_nPart), m_nVert);
        gis::CLibGis::SetEntVertCoord(vertex, point->GetCoordX(), point->GetCoordY(),
                                      point->GetCoordZ(), false);
    }
    CPropertyCtrl* properties = GisTableCtrl_GetPropertyCtrl(m_pTableCtrl);
    const int fields = m_pGis->GetNumFields(m_pTable);
    for (int i = 0; i < fields; ++i) {
        gis::CField* field = m_pGis->GetField(m_pTable, i);
        if (!m_pGis->IsFieldPredefined(field)) continue;
        kit::CPolyValue value;
        switch (m_pGis->GetFieldType(field)) {
        case gis::FIELD_KIND_POINT_NAME:
            value = kit::String(point->GetNome());
            break;
        case gis::FIELD_KIND_POINT_CODE:
            value = kit::String(point->GetCode());
            break;
        default:
            m_pGis->GetRowValue(m_pEditedRow, i, value);
            break;
        }
        // The edited row holds what the control shows: the store copies the row, and a
        // name or code left stale there would overwrite the point's own on OK.
        kit::CPolyValue stored = value;
        m_pGis->SetRowValue(m_pEditedRow, i, stored);
        if (properties != nullptr) properties->SetCurrentPropertyValue(i, value);
    }
    m_pEditor->SetPointChanged(false);
}

bool CModPunGpsPage4::CommitCheck() {
    if (m_pTableCtrl == nullptr) return true;
    return GisTableCtrl_Commit(m_pTableCtrl, true);
}

void CModPunGpsPage4::StoreGis() {
    if (m_pEditor == nullptr || m_pGis == nullptr || m_pPoint == nullptr) return;
    CheckCodeIsTable(m_pGis, m_pPoint, kit::String(m_pEditor->GisThemeName()));
    gis::CEntVert* vertex = m_pPoint->GetEntVert();
    if (vertex == nullptr || m_pEditedRow == nullptr) return;
    gis::CEnt* ent = gis::CLibGis::GetEnt(vertex);
    gis::CDBTable* table = m_pGis->GetTable(gis::CLibGis::GetTheme(ent));
    kit::CResultRow* pointRow = m_pGis->GetRow(ent);
    m_pPointRow = pointRow;
    const int fields = m_pGis->GetNumFields(table);
    for (int i = 0; i < fields; ++i) {
        kit::CPolyValue value;
        m_pGis->GetRowValue(m_pEditedRow, i, value);
        m_pGis->SetRowValue(pointRow, i, value);
    }
}
