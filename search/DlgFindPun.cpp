#include "DlgFindPun.h"

#include "resource.h"

RememberedSearch& TheRememberedSearch() {
    static RememberedSearch search;
    return search;
}

BEGIN_MESSAGE_MAP(CDlgFindPun, CDialog)
ON_EN_CHANGE(IDC_FIND_TEXT, &CDlgFindPun::OnCriteriaChanged)
ON_BN_CLICKED(IDC_FIND_IN_NAME, &CDlgFindPun::OnCriteriaChanged)
ON_BN_CLICKED(IDC_FIND_IN_CODE, &CDlgFindPun::OnCriteriaChanged)
END_MESSAGE_MAP()

CDlgFindPun::CDlgFindPun(CWnd* parent) : CDialog(IDD_FIND_PUN, parent) {}

void CDlgFindPun::Load(const std::string& callerText) {
    const RememberedSearch& remembered = TheRememberedSearch();
    m_strText = remembered.text.empty() ? callerText : remembered.text;
    m_bInName = remembered.inName ? 1 : 0;
    m_bInCode = remembered.inCode ? 1 : 0;
    if (!m_bInName && !m_bInCode) m_bInName = 1;
}

void CDlgFindPun::WriteBack(std::string& text, bool& inName, bool& inCode) const {
    RememberedSearch& remembered = TheRememberedSearch();
    text = m_strText;
    remembered.text = m_strText;
    bool name = m_bInName != 0;
    bool code = m_bInCode != 0;
    if (!name && !code) name = true; // the enabling rule normally prevents this
    inName = name;
    inCode = code;
    remembered.inName = name;
    remembered.inCode = code;
}

void CDlgFindPun::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnNext);
    DDX_Text(dx, IDC_FIND_TEXT, m_strText);
    DDX_Check(dx, IDC_FIND_IN_NAME, m_bInName);
    DDX_Check(dx, IDC_FIND_IN_CODE, m_bInCode);
}

BOOL CDlgFindPun::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyEnablingRule();
    return TRUE;
}

void CDlgFindPun::OnCriteriaChanged() {
    UpdateData(true);
    ApplyEnablingRule();
}

void CDlgFindPun::ApplyEnablingRule() {
    m_btnNext.EnableWindow(!m_strText.empty() && (m_bInName || m_bInCode));
}
