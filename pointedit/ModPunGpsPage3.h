// "Codici": the thirteen survey codes of the point as check boxes, with its name, description
// and graphic model. OR and QU are shown only; NE also clears or recomputes the plane
// coordinates.
#pragma once

#include "platform/propsheet.h"

#include <string>

class CNewDlgModPunGps;
class CPunGps;

class CModPunGpsPage3 : public CPropertyPage {
public:
    CModPunGpsPage3();
    ~CModPunGpsPage3() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnSetActive() override;

    void OnModelChanged();
    void OnDescriptionChanged();
    void OnNameChanged();
    void OnCodeCL();
    void OnCodeFL();
    void OnCodeIL();
    void OnCodeNC();
    void OnCodeNT();
    void OnCodeNV();
    void OnCodeOR();
    void OnCodeQU();
    void OnCodeNL();
    void OnCodeNP();
    void OnCodeOC();
    void OnCodeLD();
    void OnCodeNE();
    DECLARE_MESSAGE_MAP()

private:
    CPunGps* Working() const;
    bool Checked(int id) const;

    CNewDlgModPunGps* m_pEditor = nullptr;
    std::string m_strName;
    std::string m_strGroup;
    std::string m_strDescription;
    int m_nOR = 0, m_nQU = 0, m_nOC = 0, m_nNC = 0, m_nCL = 0, m_nNT = 0;
    int m_nLD = 0, m_nFL = 0, m_nNP = 0, m_nIL = 0, m_nNV = 0, m_nNL = 0;
    int m_nModel = -1;
    CComboBox m_listModel;
    CButton m_boxNE;
};
