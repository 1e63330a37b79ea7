// "Creazione punti GPS": asks for the group, name, description, plane position and antenna
// height of a point the host is about to create. It can propose the next free number of the
// chosen group as the name. On "&Crea" it hands the choices back (each coordinate only when it
// was really changed) and remembers the antenna height; the automatic-naming switch is
// remembered as soon as it is clicked. It creates nothing itself.
#pragma once

#include "platform/dialog.h"

#include <cstdint>
#include <string>

class CGrpGps;
class CLibGps;

/// The name the dialog proposes for a new point of \p group, a group of \p lib: one more than
/// the highest numeric name among the group's points not starting with "PF", never below 101,
/// nor below the station's number + 1 when the station is named by a positive number.
std::int64_t AutomaticPointNumber(const CLibGps& lib, const CGrpGps& group);

class CDlgOpzCreaPtGps : public CDialog {
public:
    explicit CDlgOpzCreaPtGps(CWnd* parent = nullptr);

    /// Keeps the field book and the caller's proposals; reads the remembered antenna height.
    void Load(CGrpGps* group, CLibGps* lib, const std::string& name, const std::string& descr,
              double x, double y, double z);
    /// After "&Crea": writes the choices into the caller's variables and remembers the
    /// antenna height.
    void WriteBack(int& grpIndex, std::string& name, std::string& descr, double& x, double& y,
                   double& z, double& antHeight) const;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnAutoName();
    void OnGroupChanged();

    DECLARE_MESSAGE_MAP()

private:
    void proposeAutomaticName();

    CComboBox m_comboGroups;
    CEdit m_editName;
    CButton m_checkAuto;

    CLibGps* m_pLib = nullptr;
    CGrpGps* m_pGroup = nullptr; ///< the group whose list entry is selected
    std::string m_strName;
    std::string m_strCallerName;
    std::string m_strDescr;
    double m_dNorth = 0.0;
    double m_dEast = 0.0;
    double m_dHeight = 0.0;
    double m_dAltAnt = 0.0;
    int m_nGroup = 0;
};
