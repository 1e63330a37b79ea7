// "Stampa libretto GPS": lets the user pick the groups to print among those the host offers.
// On "&Stampa..." the selected groups are handed back in list order; nothing is checked.
#pragma once

#include "platform/dialog.h"

#include <vector>

class CGrpGps;

class CDlgSelGrpLibGps : public CDialog {
public:
    explicit CDlgSelGrpLibGps(CWnd* parent = nullptr);

    /// The candidate groups, listed in order; null entries are left out of the list. Not
    /// owned.
    void SetGroups(const std::vector<CGrpGps*>* groups) { m_pGroups = groups; }
    /// The groups chosen on OK, in list order.
    const std::vector<CGrpGps*>& ChosenGroups() const { return m_chosen; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CListBox m_listGroups;
    const std::vector<CGrpGps*>* m_pGroups = nullptr;
    std::vector<CGrpGps*> m_chosen;
    std::vector<std::size_t> m_listed; ///< candidate index of each list position
};
