// Property sheets and pages.
#include "platform/backend.h"
#include "platform/module.h"
#include "platform/propsheet.h"

using platform::Window;

// --- CPropertyPage --------------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId)
    : CDialog(templateId), m_captionId(captionId) {}

CPropertyPage::~CPropertyPage() = default;

DWORD CPropertyPage::TemplateStyle(DWORD templateStyle, bool) const {
    // The rewrite the system's property sheet makes: a page is a control inside the sheet,
    // shown only while it is active.
    return (templateStyle & ~(WS_DISABLED | WS_CAPTION | WS_POPUP | WS_VISIBLE)) | WS_CHILD |
           DS_CONTROL;
}

BOOL CPropertyPage::OnSetActive() {
    if (m_firstSetActive)
        m_firstSetActive = false;
    else
        UpdateData(false);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(true) ? TRUE : FALSE;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

std::string CPropertyPage::GetTabText() const {
    HINSTANCE resources = m_hWnd != nullptr && m_hWnd->resources() != nullptr
                              ? m_hWnd->resources()
                              : AfxGetResourceHandle();
    if (resources == nullptr) return {};
    if (m_captionId != 0) {
        const std::string* text = resources->findString(static_cast<int>(m_captionId));
        return text != nullptr ? *text : std::string();
    }
    const platform::DialogTemplate* tpl = resources->findDialog(static_cast<int>(GetTemplateId()));
    return tpl != nullptr ? tpl->caption : std::string();
}

// --- CPropertySheet -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
ON_WM_SIZE()
ON_WM_CLOSE()
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet() {
    m_psh.dwFlags = PSH_MODELESS;
}

CPropertySheet::CPropertySheet(UINT captionId, CWnd*, UINT selectPage) : CPropertySheet() {
    if (HINSTANCE resources = AfxGetResourceHandle())
        if (const std::string* text = resources->findString(static_cast<int>(captionId)))
            m_title = *text;
    m_psh.nStartPage = selectPage;
}

CPropertySheet::CPropertySheet(const std::string& caption, CWnd*, UINT selectPage)
    : CPropertySheet() {
    m_title = caption;
    m_psh.nStartPage = selectPage;
}

CPropertySheet::~CPropertySheet() {
    if (m_hWnd != nullptr) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (page == nullptr) return;
    page->m_sheet = this;
    m_pages.push_back(page);
    if (m_tab && m_tab->m_hWnd != nullptr)
        m_tab->InsertItem(GetPageCount() - 1, page->GetTabText());
}

bool CPropertySheet::Create(CWnd* parent, DWORD style, DWORD exStyle) {
    if (m_hWnd != nullptr || parent == nullptr || parent->m_hWnd == nullptr) return false;
    if (style == static_cast<DWORD>(-1)) style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    // Only child sheets exist here: the owning dialog's buttons serve them.
    style = (style & ~WS_POPUP) | WS_CHILD;

    // Large enough for the largest page, as the system sizes a sheet.
    SIZE base = parent->m_hWnd->baseUnits();
    RECT pageArea{0, 0, 0, 0};
    if (HINSTANCE resources = AfxGetResourceHandle()) {
        for (CPropertyPage* page : m_pages) {
            const platform::DialogTemplate* tpl =
                resources->findDialog(static_cast<int>(page->GetTemplateId()));
            if (tpl == nullptr) continue;
            SIZE units = platform::backend().dialogBaseUnits(tpl->font);
            RECT r = platform::dialogUnitsToPixels(0, 0, tpl->cx, tpl->cy, units);
            pageArea.right = std::max(pageArea.right, r.right);
            pageArea.bottom = std::max(pageArea.bottom, r.bottom);
        }
    }
    RECT rect = pageArea;
    platform::TabState::adjustRect(base, true, rect);
    rect = RECT{0, 0, rect.Width(), rect.Height()};
    if (!CWnd::Create("#32770", m_title, style, rect, parent, 0, exStyle)) return false;

    m_tab = std::make_unique<CTabCtrl>();
    RECT client;
    GetClientRect(&client);
    if (!m_tab->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, client, this, AFX_IDC_TAB_CONTROL)) {
        DestroyWindow();
        return false;
    }
    for (int i = 0; i < GetPageCount(); ++i)
        m_tab->InsertItem(i, m_pages[static_cast<size_t>(i)]->GetTabText());
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
    int start = static_cast<int>(m_psh.nStartPage);
    if (start < 0 || start >= GetPageCount()) start = 0;
    if (GetPageCount() > 0) activate(start);
    return true;
}

void CPropertySheet::PostNcDestroy() {
    m_active = -1;
    m_tab.reset();
}

RECT CPropertySheet::displayArea() const {
    RECT area{0, 0, 0, 0};
    if (m_tab && m_tab->m_hWnd != nullptr) {
        area = m_tab->m_hWnd->rect();
        m_tab->AdjustRect(false, &area);
    }
    return area;
}

void CPropertySheet::OnSize(UINT, int cx, int cy) {
    if (!m_tab || m_tab->m_hWnd == nullptr) return;
    m_tab->SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT area = displayArea();
    for (CPropertyPage* page : m_pages)
        if (page->m_hWnd != nullptr) page->MoveWindow(&area);
}

void CPropertySheet::OnClose() {
    // A child sheet is closed with the dialog that holds it, never on its own.
}

bool CPropertySheet::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (m_tab && header->hwndFrom == m_tab->m_hWnd) {
        if (header->code == TCN_SELCHANGING) {
            *result = mayLeaveActivePage() ? 0 : 1;
            return true;
        }
        if (header->code == TCN_SELCHANGE) {
            activate(m_tab->GetCurSel());
            return true;
        }
    }
    return CWnd::OnNotify(id, header, result);
}

bool CPropertySheet::mayLeaveActivePage() {
    CPropertyPage* page = GetActivePage();
    if (page == nullptr || page->m_hWnd == nullptr) return true;
    return page->OnKillActive() != FALSE;
}

bool CPropertySheet::activate(int index) {
    if (index < 0 || index >= GetPageCount()) return false;
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    CPropertyPage* old = m_active >= 0 && m_active != index ? GetActivePage() : nullptr;
    if (page->m_hWnd == nullptr) {
        page->m_sheet = this;
        if (!page->Create(page->GetTemplateId(), this)) return false;
        RECT area = displayArea();
        page->MoveWindow(&area);
    }
    Window* focus = platform::focusWindow();
    bool focusInOld = old != nullptr && old->m_hWnd != nullptr && focus != nullptr &&
                      focus->isWithin(old->m_hWnd);
    m_active = index;
    if (m_tab) m_tab->SetCurSel(index);
    page->OnSetActive();
    if (page->m_hWnd == nullptr) return false; // the page went away while it was activated
    page->m_hWnd->setVisible(true);
    if (old != nullptr && old->m_hWnd != nullptr) old->m_hWnd->setVisible(false);
    if (focusInOld) {
        Window* first = platform::firstTabStop(*page->m_hWnd);
        platform::setFocusWindow(first != nullptr ? first : m_tab->m_hWnd);
    }
    return true;
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) return false;
    if (m_hWnd == nullptr) {
        m_psh.nStartPage = static_cast<UINT>(index);
        return true;
    }
    if (index == m_active) return true;
    if (!mayLeaveActivePage()) return false;
    return activate(index);
}

bool CPropertySheet::SetActivePage(CPropertyPage* page) {
    return SetActivePage(GetPageIndex(page));
}

int CPropertySheet::GetActiveIndex() const {
    return m_hWnd != nullptr ? m_active : static_cast<int>(m_psh.nStartPage);
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return GetPage(GetActiveIndex());
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount()) return nullptr;
    return m_pages[static_cast<size_t>(index)];
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    for (int i = 0; i < GetPageCount(); ++i)
        if (m_pages[static_cast<size_t>(i)] == page) return i;
    return -1;
}

CTabCtrl* CPropertySheet::GetTabControl() const {
    return m_tab && m_tab->m_hWnd != nullptr ? m_tab.get() : nullptr;
}

void CPropertySheet::SetTitle(const std::string& title, UINT) {
    m_title = title;
    if (m_hWnd != nullptr) m_hWnd->setText(title);
}
