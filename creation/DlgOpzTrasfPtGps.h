// "Trasformazione in punti GPS": tells how many drawn points were selected and asks for the
// group that receives them and their antenna height. On "&Trasferisci" it hands both back and
// remembers the antenna height (shared with the creation options); it transfers nothing.
#pragma once

#include "platform/dialog.h"

class CLibGps;

class CDlgOpzTrasfPtGps : public CDialog {
public:
    explicit CDlgOpzTrasfPtGps(CWnd* parent = nullptr);

    /// Keeps the field book and the number of selected drawn points; reads the remembered
    /// antenna height.
    void Load(CLibGps* lib, int count);
    /// After "&Trasferisci": the chosen group's position and antenna height, which is also
    /// remembered.
    void WriteBack(int& grpIndex, double& antHeight) const;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CComboBox m_comboGroups;
    CLibGps* m_pLib = nullptr;
    int m_nCount = 0;
    double m_dAltAnt = 0.0;
    int m_nGroup = -1;
};
