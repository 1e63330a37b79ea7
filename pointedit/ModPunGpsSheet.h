// The page sheet of the point editor: five pages in a single row of tabs, no buttons of its
// own (the editor window's serve it), placed on the window's frame.
#pragma once

#include "ModPunGpsPage1.h"
#include "ModPunGpsPage2.h"
#include "ModPunGpsPage2a.h"
#include "ModPunGpsPage3.h"
#include "ModPunGpsPage4.h"
#include "platform/propsheet.h"

class CModPunGpsSheet : public CPropertySheet {
public:
    CModPunGpsSheet();
    ~CModPunGpsSheet() override;

    CModPunGpsPage1 m_page1;
    CModPunGpsPage2 m_page2;
    CModPunGpsPage2a m_page2a;
    CModPunGpsPage3 m_page3;
    CModPunGpsPage4 m_page4;

    void OnSize(UINT type, int cx, int cy);
    int OnCreate(LPCREATESTRUCT create);
    void OnClose();

protected:
    DECLARE_MESSAGE_MAP()
};
