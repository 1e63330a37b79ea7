// "Coordinate stazione base GPS": shows, read-only, the base station of a group: the
// station's name, the group's name and the station's plane coordinates. Writes nothing.
#pragma once

#include "platform/dialog.h"

#include <string>

class CGrpGps;

class CMostraGrpGps : public CDialog {
public:
    explicit CMostraGrpGps(CWnd* parent = nullptr);

    /// Takes the texts to show from \p group.
    void Load(const CGrpGps& group);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    std::string m_strStation;
    std::string m_strGroup;
    std::string m_strEast;
    std::string m_strNorth;
    std::string m_strHeight;
};
