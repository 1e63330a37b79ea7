// "Sposta base GPS": the choice of the base station to move, among the groups whose drawing is
// not locked, and of the antenna height to give it. Hands back the chosen group's position in
// the field book (-1 when nothing was chosen) and the typed height; changes nothing itself.
#pragma once

#include "platform/dialog.h"

class CDrawEng;
class CGrpGps;
class CLibGps;

class CDlgSelBaseGps : public CDialog {
public:
    explicit CDlgSelBaseGps(CWnd* parent = nullptr);

    /// The field book to choose from and the CAD engine that knows the locked drawings; neither
    /// owned.
    void Load(CLibGps* lib, CDrawEng* eng);

    /// Position in the field book of the group chosen with "&Continua..."; -1 otherwise.
    int ChosenGroup() const { return m_nGroup; }
    /// The antenna height typed for it (meaningful only with a chosen group).
    double ChosenAntennaHeight() const { return m_dAltAnt; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnSelectionChanged();

    DECLARE_MESSAGE_MAP()

private:
    CGrpGps* groupOfSelection() const;
    void showHeightOf(const CGrpGps* group);

    CListBox m_listBases;
    CEdit m_editHeight;
    CLibGps* m_pLib = nullptr;
    CDrawEng* m_pEng = nullptr;
    int m_nGroup = -1;
    double m_dAltAnt = 0.0;
};
