// "Ricerca": asks for the text to look for and where (point names, codes/comments). The module
// only supplies the criteria; the host does the search. A confirmed search is remembered for
// as long as the module stays loaded and proposed again at the next opening.
#pragma once

#include "platform/dialog.h"

#include <string>

/// The last confirmed search criteria, one copy for the whole module.
struct RememberedSearch {
    std::string text;
    bool inName = true;
    bool inCode = false;
};
RememberedSearch& TheRememberedSearch();

class CDlgFindPun : public CDialog {
public:
    explicit CDlgFindPun(CWnd* parent = nullptr);

    /// Proposes the remembered text, or \p callerText while none has been confirmed, with the
    /// remembered flags.
    void Load(const std::string& callerText);
    /// Hands the confirmed criteria to the caller and remembers them.
    void WriteBack(std::string& text, bool& inName, bool& inCode) const;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnCriteriaChanged();

    DECLARE_MESSAGE_MAP()

private:
    void ApplyEnablingRule();

    CButton m_btnNext;
    std::string m_strText;
    int m_bInName = 0;
    int m_bInCode = 0;
};
