#include "DlgModStazBase.h"

#include "frame/DisplayText.h"
#include "frame/NumberField.h"
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

namespace {

const char* const kCorrectionCaption = "Edita dichiarazione di correzione - Staz. Base Gps";
constexpr int kReferenceNetwork = 10;
constexpr int kNumberFields[] = {IDC_BASE_ANTENNA_HEIGHT, IDC_GEOC_X,   IDC_GEOC_Y, IDC_GEOC_Z,
                                 IDC_BASE_PDOP,           IDC_BASE_GDOP};

// An empty field stores no value: what the field shows is what the group holds.
double StoredValue(const std::string& text) {
    if (text.find_first_not_of(" \t") == std::string::npos) return EGN_NOVALUE;
    return DoubleDaString(text);
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgModStazBase, CDialog)
ON_CBN_SELCHANGE(IDC_RECEIVER_TYPE, &CDlgModStazBase::OnReceiverChanged)
ON_CBN_SELCHANGE(IDC_SURVEY_TYPE, &CDlgModStazBase::OnSurveyChanged)
ON_BN_CLICKED(IDC_BASE_KNOWN_NETWORK, &CDlgModStazBase::OnKnownNetwork)
ON_BN_CLICKED(IDC_BASE_NOTE, &CDlgModStazBase::OnNote)
ON_BN_CLICKED(IDC_BASE_OK, &CDlgModStazBase::OnConfirm)
ON_BN_CLICKED(IDC_BASE_CANCEL, &CDlgModStazBase::OnAnnulla)
ON_WM_CLOSE()
ON_EN_CHANGE(IDC_BASE_ANTENNA_HEIGHT, &CDlgModStazBase::OnNumberChanged)
ON_EN_CHANGE(IDC_GEOC_X, &CDlgModStazBase::OnNumberChanged)
ON_EN_CHANGE(IDC_GEOC_Y, &CDlgModStazBase::OnNumberChanged)
ON_EN_CHANGE(IDC_GEOC_Z, &CDlgModStazBase::OnNumberChanged)
ON_EN_CHANGE(IDC_BASE_PDOP, &CDlgModStazBase::OnNumberChanged)
ON_EN_CHANGE(IDC_BASE_GDOP, &CDlgModStazBase::OnNumberChanged)
END_MESSAGE_MAP()

CDlgModStazBase::CDlgModStazBase(CWnd* parent) : CDialog(IDD_MOD_STAZ_BASE, parent) {}

void CDlgModStazBase::Load(CGrpGps* group, CGestGps* host, bool full) {
    m_pGroup = group;
    m_pHost = host;
    m_bFull = full;
    m_strGroup = group->GetNomeGrp();
    m_strStation = group->GetNome();
    m_strDescr = group->GetSecScri();
    m_strDescrBackup = m_strDescr;
    m_strAltAnt = DisplayValue(group->GetBaseAltAnt(), 3);
    double x = EGN_NOVALUE, y = EGN_NOVALUE, z = EGN_NOVALUE;
    group->GetGeocCeFaMis(x, y, z);
    m_strX = m_strLoadedX = DisplayValue(x, 2);
    m_strY = m_strLoadedY = DisplayValue(y, 2);
    m_strZ = m_strLoadedZ = DisplayValue(z, 2);
    m_ucReceiver = group->GetTipoRicevitore();
    m_ucSurvey = group->GetTipoRilievo();
    m_strPdop = DisplayValue(group->m_dPdop, 3);
    m_strGdop = DisplayValue(group->m_dGdop, 3);
    m_strNoteBackup = group->GetNote();
}

void CDlgModStazBase::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RECEIVER_TYPE, m_comboReceiver);
    DDX_Control(dx, IDC_SURVEY_TYPE, m_comboSurvey);
    DDX_Control(dx, IDC_BASE_KNOWN_NETWORK, m_checkNetwork);
    DDX_Control(dx, IDC_BASE_NOTE, m_btnNote);
    DDX_Text(dx, IDC_BASE_GROUP_NAME, m_strGroup);
    DDX_Text(dx, IDC_BASE_STATION_NAME, m_strStation);
    DDX_Text(dx, IDC_BASE_DESCRIPTION, m_strDescr);
    DDX_Text(dx, IDC_BASE_ANTENNA_HEIGHT, m_strAltAnt);
    DDX_Text(dx, IDC_GEOC_X, m_strX);
    DDX_Text(dx, IDC_GEOC_Y, m_strY);
    DDX_Text(dx, IDC_GEOC_Z, m_strZ);
    DDX_Text(dx, IDC_BASE_PDOP, m_strPdop);
    DDX_Text(dx, IDC_BASE_GDOP, m_strGdop);
}

BOOL CDlgModStazBase::OnInitDialog() {
    CDialog::OnInitDialog();
    // Showing a selection leaves the stored type alone: a type the lists do not know (0) is
    // shown as the second item and written back unchanged unless the user picks one.
    m_comboReceiver.SetCurSel(m_ucReceiver == 1 ? 0 : 1);
    m_comboSurvey.SetCurSel(m_ucSurvey == 1 ? 0 : 1);
    m_checkNetwork.SetCheck(m_strDescr.find(GPS_TAG_EUREF) != std::string::npos ? BST_CHECKED
                                                                                : BST_UNCHECKED);
    if (!m_bFull) {
        m_btnNote.EnableWindow(false);
        SetWindowText(kCorrectionCaption);
    }
    return TRUE;
}

void CDlgModStazBase::OnReceiverChanged() {
    const int selection = m_comboReceiver.GetCurSel();
    if (selection >= 0) m_ucReceiver = static_cast<unsigned char>(selection + 1);
}

void CDlgModStazBase::OnSurveyChanged() {
    const int selection = m_comboSurvey.GetCurSel();
    if (selection >= 0) m_ucSurvey = static_cast<unsigned char>(selection + 1);
}

void CDlgModStazBase::OnKnownNetwork() {
    // The data library owns the tag: the dialog only asks for it and shows the result.
    m_strDescrBackup = m_pGroup->GetSecScri();
    if (m_checkNetwork.GetCheck() == BST_CHECKED)
        m_pGroup->SetBaseEuref(kReferenceNetwork);
    else
        m_pGroup->ClearBaseEuref();
    m_strDescr = m_pGroup->GetSecScri();
    SetDlgItemText(IDC_BASE_DESCRIPTION, m_strDescr);
}

void CDlgModStazBase::OnNote() {
    m_strNoteBackup = m_pGroup->GetNote();
    if (m_pHost != nullptr) m_pHost->EditaNote(m_pGroup);
}

void CDlgModStazBase::OnNumberChanged() {
    // Typing never marks a field; it only takes away a mark once the text can be stored.
    for (int id : kNumberFields) {
        auto* edit = dynamic_cast<CEdit*>(GetDlgItem(id));
        if (edit == nullptr) continue;
        const std::string text = edit->GetWindowText();
        if (text.find_first_not_of(" \t") == std::string::npos ||
            IsNumberText(text, NumberForm::Number))
            edit->HideBalloonTip();
    }
}

bool CDlgModStazBase::CheckNumbers() {
    CWnd* first = nullptr;
    for (int id : kNumberFields)
        if (!CheckNumberField(*this, id, NumberForm::Number, false) && first == nullptr)
            first = GetDlgItem(id);
    if (first == nullptr) return true;
    first->SetFocus();
    if (auto* edit = dynamic_cast<CEdit*>(first)) edit->SetSel(0, -1);
    return false;
}

void CDlgModStazBase::OnConfirm() {
    UpdateData(true);
    if (!CheckNumbers()) return;
    m_pGroup->SetNome(m_strStation);
    m_pGroup->SetSecScri(m_strDescr);
    m_pGroup->SetBaseAltAnt(StoredValue(m_strAltAnt));
    // Written only when retyped, so that a position known to more than the 2 decimals shown
    // survives a confirmation.
    if (m_strX != m_strLoadedX || m_strY != m_strLoadedY || m_strZ != m_strLoadedZ)
        m_pGroup->SetGeocCeFaMis(StoredValue(m_strX), StoredValue(m_strY), StoredValue(m_strZ));
    if (m_pGroup->IsCdElabValid() && IsEgnValueDefined(m_pGroup->GetBaseLat()) &&
        IsEgnValueDefined(m_pGroup->GetBaseLong()) && IsEgnValueDefined(m_pGroup->GetBaseElev()) &&
        IsEgnValueDefined(m_pGroup->GetBaseAltAnt())) {
        double east = 0, north = 0, height = 0;
        if (m_pGroup->GetConvCoord()->GrafGpsToPlanAtt(
                m_pGroup->GetBaseLat(), m_pGroup->GetBaseLong(), m_pGroup->GetBaseElev(),
                m_pGroup->GetBaseAltAnt(), east, north, height)) {
            m_pGroup->SetCoordXY(east, north);
            m_pGroup->SetCoordZ(height);
        }
    }
    m_pGroup->SetTipoRicevitore(m_ucReceiver);
    m_pGroup->SetTipoRilievo(m_ucSurvey);
    m_pGroup->m_dPdop = StoredValue(m_strPdop);
    m_pGroup->m_dGdop = StoredValue(m_strGdop);
    EndDialog(IDOK);
}

void CDlgModStazBase::OnAnnulla() {
    m_pGroup->SetNote(m_strNoteBackup);
    m_pGroup->SetSecScri(m_strDescrBackup);
    EndDialog(IDCANCEL);
}

void CDlgModStazBase::OnClose() {
    OnAnnulla();
}
