#include "ModPunGpsSheet.h"

#include "frame/Module.h"
#include "resource.h"

CModPunGpsSheet::CModPunGpsSheet() : CPropertySheet(LoadModuleString(IDS_EDITOR_SHEET_CAPTION)) {
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    EnableStackedTabs(false);
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page2a);
    AddPage(&m_page3);
    AddPage(&m_page4);
    SetTitle(LoadModuleString(IDS_EDITOR_SHEET_TITLE));
}

CModPunGpsSheet::~CModPunGpsSheet() = default;

BEGIN_MESSAGE_MAP(CModPunGpsSheet, CPropertySheet)
ON_WM_SIZE()
ON_WM_CREATE() // NOLINT(performance-no-int-to-ptr): the creation data travels as LPARAM
ON_WM_CLOSE()
END_MESSAGE_MAP()

void CModPunGpsSheet::OnSize(UINT type, int cx, int cy) {
    CPropertySheet::OnSize(type, cx, cy);
    CTabCtrl* tab = GetTabControl();
    if (tab == nullptr || tab->GetSafeHwnd() == nullptr) return;
    tab->SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT area{0, 0, cx, cy};
    tab->AdjustRect(false, &area);
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (page != nullptr && page->GetSafeHwnd() != nullptr)
            page->SetWindowPos(nullptr, area.left, area.top, area.Width(), area.Height(),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int CModPunGpsSheet::OnCreate(LPCREATESTRUCT create) {
    return CPropertySheet::OnCreate(create);
}

void CModPunGpsSheet::OnClose() {
    // Only the editor window closes; a close request to the sheet alone is ignored.
}
