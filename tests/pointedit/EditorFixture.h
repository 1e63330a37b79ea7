// What the point editor's tests share: a field book with graphic-model options, a host
// context, a GIS library, a temporary settings file, and a text that tells every value of a
// point apart, so that "nothing changed" can be asserted byte for byte.
#pragma once

#include "SmallBook.h"
#include "TempSettings.h"
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/automation.h"

#include <cstdio>
#include <functional>
#include <string>

namespace pointedit_test {

inline std::string hex(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%a", v);
    return buffer;
}

/// Every value of a point the editor can touch.
inline std::string describe(const CPunGps& p) {
    std::string s =
        p.GetNome() + "|" + p.GetSecScri() + "|" + p.GetAttribDis() + "|" + p.GetNote() + "|";
    for (double v : {p.GetAltAnt(), p.GetLat(), p.GetLong(), p.GetElev(), p.GetCoordX(),
                     p.GetCoordY(), p.GetCoordZ(), p.GetPdop(), p.GetGdop()})
        s += hex(v) + ",";
    for (float v : {p.GetPosCov_xx(), p.GetPosCov_xy(), p.GetPosCov_xz(), p.GetPosCov_yy(),
                    p.GetPosCov_yz(), p.GetPosCov_zz()})
        s += hex(v) + ",";
    double e[6];
    p.GetDatiErrStat(e[0], e[1], e[2], e[3], e[4], e[5]);
    for (double v : e)
        s += hex(v) + ",";
    s += "codes=" + std::to_string(p.GetCodeMask()) + (p.IsPointVrs() ? " vrs" : "");
    return s;
}

inline std::string describe(const CGrpGps& g) {
    std::string s = g.GetNomeGrp() + ":";
    for (int i = 0; i < g.GetPunCount(); ++i)
        s += describe(*g.GetPunAt(i)) + "\n";
    return s;
}

/// A host whose "Note" appends to the note of the element it is given.
class NoteHost : public CGestGps {
public:
    void EditaNote(CEgn* element) override {
        ++calls;
        edited = element;
        element->SetNote(element->GetNote() + " rivista");
    }
    int calls = 0;
    CEgn* edited = nullptr;
};

struct Editor {
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
    CCts cts;
    gis::CLibGis gis;

    Editor() {
        sample.book.m_OpzListDisEgn.AddOpzCom("Pozzetto");
        sample.book.m_OpzListDisEgn.AddOpzCom("Albero");
        CPunGps* p = sample.first;
        p->SetAttribDis("Albero");
        p->SetPosCov_xx(0.0001234567f);
        p->SetPosCov_xy(-0.0000123f);
        p->SetPosCov_xz(0.00002f);
        p->SetPosCov_yy(0.0003f);
        p->SetPosCov_yz(0.000001f);
        p->SetPosCov_zz(0.0009876543f);
        p->SetPdop(1.23456789);
        p->SetGdop(2.3456789);
        p->SetDatiErrStat(0.01, 0.02, 0.03, 0.04, 0.05, 0.06);
        p->SetNote("Nota di campagna");
        p->SetCodeNC(true);
    }

    /// Opens the editor on \p point with \p script as the user.
    bool run(CPunGps* point, const std::function<void(automation::Dialog&)>& script,
             bool editCoord = true, CGestGps* host = nullptr, bool full = true) {
        automation::ScriptedUser user;
        user.onDialog(script);
        return FDlgModPunGps(&cts, point, &sample.book, &gis, editCoord, host, full);
    }
};

} // namespace pointedit_test
