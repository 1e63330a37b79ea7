// "Dati GIS": the theme of the point's GIS entity and its attributes. The editor window
// loads it, asks it to commit pending input before OK and lets it store the attributes.
#pragma once

#include "platform/propsheet.h"

class CPunGps;
namespace gis {
class CLibGis;
}

class CModPunGpsPage4 : public CPropertyPage {
public:
    CModPunGpsPage4();
    ~CModPunGpsPage4() override;

    /// Takes the point's GIS entity from the GIS library.
    void LoadGis(gis::CLibGis* gis, CPunGps* point);
    /// \return false while the table control does not accept its pending input
    bool CommitCheck();
    /// Writes the edited attributes into the point's GIS entity.
    void StoreGis();

protected:
    BOOL OnSetActive() override;
};
