// A small field book for dialog tests: two groups, one with a computed projection in
// RDN2008 / UTM zone 32N and one without, and a few points.
#pragma once

#include "gpsdialogs/interfaces/LibGps.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace testsupport {

inline double degrees(double d) {
    return d * std::numbers::pi / 180.0;
}

struct SmallBook {
    CLibGps book;
    CGrpGps* projected = nullptr; // "Rilievo A", station "100"
    CGrpGps* plain = nullptr;     // "Rilievo B", station "BASE2"
    CPunGps* first = nullptr;     // "101" in Rilievo A
    CPunGps* second = nullptr;    // "PF12" in Rilievo A
    CPunGps* third = nullptr;     // "7" in Rilievo B

    SmallBook() {
        projected = book.AddGrp("Rilievo A");
        projected->SetNome("100");
        projected->SetProjection("EPSG:6707");
        projected->SetBaseGeo(degrees(44.4949), degrees(11.3426), 95.0);
        projected->SetBaseAltAnt(1.5);
        projected->SetCoordXY(686700.1234, 4928300.4567);
        projected->SetCoordZ(93.5);

        plain = book.AddGrp("Rilievo B");
        plain->SetNome("BASE2");

        first = book.AddPun(0);
        first->SetNome("101");
        first->SetCode("Spigolo fabbricato");
        first->SetGeo(degrees(44.495), degrees(11.343), 96.0);
        first->SetAltAnt(2.0);
        first->SetCoordXY(686728.4567, 4928312.0001);
        first->SetCoordZ(94.0);

        second = book.AddPun(0);
        second->SetNome("PF12");
        second->SetCode("Punto fiduciale");

        third = book.AddPun(1);
        third->SetNome("7");
        third->SetCode("Picchetto");
        third->SetCoordXY(123.4567, -0.0004);
        third->SetCoordZ(-1.25);
    }
};

} // namespace testsupport
