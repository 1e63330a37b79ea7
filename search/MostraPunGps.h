// "Coordinate punto GPS": shows, read-only, a point's name, code, group and plane
// coordinates. Writes nothing.
#pragma once

#include "platform/dialog.h"

#include <string>

class CPunGps;

class CMostraPunGps : public CDialog {
public:
    explicit CMostraPunGps(CWnd* parent = nullptr);

    /// Takes the texts to show from \p point.
    void Load(const CPunGps& point);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    std::string m_strName;
    std::string m_strCode;
    std::string m_strGroup;
    std::string m_strEast;
    std::string m_strNorth;
    std::string m_strHeight;
};
