#include "ModPunGpsPage4.h"

#include "NewDlgModPunGps.h"
#include "resource.h"

CModPunGpsPage4::CModPunGpsPage4() : CPropertyPage(IDD_MOD_PUN_GPS_PAGE4) {}

CModPunGpsPage4::~CModPunGpsPage4() = default;

void CModPunGpsPage4::LoadGis(gis::CLibGis* /*gis*/, CPunGps* /*point*/) {}

bool CModPunGpsPage4::CommitCheck() {
    return true;
}

void CModPunGpsPage4::StoreGis() {}

BOOL CModPunGpsPage4::OnSetActive() {
    CWnd* sheet = GetParent();
    CWnd* window = nullptr;
    if (sheet != nullptr)
        window = sheet->GetOwner() != nullptr ? sheet->GetOwner() : sheet->GetParent();
    if (auto* editor = dynamic_cast<CNewDlgModPunGps*>(window)) editor->SetCurrentPage(4);
    return CPropertyPage::OnSetActive();
}
