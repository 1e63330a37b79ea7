// Writes the bundled sample field book (examples/sample.gpsbook.json).
//
// Two surveys near Bologna: one whose group has a computed projection in RDN2008 / UTM zone
// 32N, with plane coordinates computed through the group's own converter, and one not yet
// processed (no projection, no plane coordinates) measured from a reference-network station;
// and three drawn points not yet transferred into a group.
// Positions are laid out as offsets in metres from the base station and turned into latitude
// and longitude on the ellipsoid, so that the whole survey stays within a few kilometres.
//
// Usage: gpsbook_make_sample OUTPUT.json
#include "core/FieldBook.h"

#include "gpsdialogs/interfaces/ConvCoord.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

struct Rover {
    const char* name;
    const char* description;
    const char* model;
    double north;   // metres from the base station
    double east;    // metres from the base station
    double ground;  // orthometric height of the ground point
    double antenna; // pole height; NAN: not recorded
    unsigned codes;
    double pdop;
    double gdop;
    bool covariance; // false: the receiver gave none
    bool errors;     // false: no statistical error data
    const char* note;
};

double millimetres(double v) {
    return std::round(v * 1000.0) / 1000.0;
}

// Offsets in metres to geographic coordinates, on the GRS80 ellipsoid's local radii.
void offsetToGeo(double lat0, double lon0, double north, double east, double& lat, double& lon) {
    constexpr double a = 6378137.0;
    constexpr double e2 = 0.00669438002290;
    const double s = std::sin(lat0);
    const double w = std::sqrt(1.0 - e2 * s * s);
    const double meridian = a * (1.0 - e2) / (w * w * w);
    const double normal = a / w;
    lat = lat0 + north / meridian;
    lon = lon0 + east / (normal * std::cos(lat0));
}

void addRovers(CGrpGps& group, double baseLat, double baseLon, double undulation,
               const std::vector<Rover>& rovers, bool plane) {
    int index = 0;
    for (const Rover& r : rovers) {
        CPunGps* p = group.AddPun();
        p->SetNome(r.name);
        p->SetCode(r.description);
        p->SetAttribDis(r.model);
        if (r.note != nullptr) p->SetNote(r.note);
        double lat, lon;
        offsetToGeo(baseLat, baseLon, r.north, r.east, lat, lon);
        const bool hasAntenna = !std::isnan(r.antenna);
        const double antenna = hasAntenna ? r.antenna : EGN_NOVALUE;
        p->SetAltAnt(antenna);
        p->SetGeo(lat, lon, millimetres(r.ground + undulation + (hasAntenna ? r.antenna : 0.0)));
        p->SetCodeMask(r.codes);
        p->SetPdop(r.pdop);
        p->SetGdop(r.gdop);
        if (r.covariance) {
            // Typical RTK covariances in square metres, varying a little from point to point.
            const float k = 1.0f + 0.07f * static_cast<float>(index % 5);
            p->SetPosCov_xx(4.1e-5f * k);
            p->SetPosCov_xy(-1.2e-6f * k);
            p->SetPosCov_xz(8.3e-7f * k);
            p->SetPosCov_yy(3.6e-5f * k);
            p->SetPosCov_yz(-5.4e-7f * k);
            p->SetPosCov_zz(1.15e-4f * k);
        }
        if (r.errors) {
            const double k = 1.0 + 0.05 * (index % 4);
            auto mm = [k](double v) { return std::round(v * k * 1e4) / 1e4; };
            p->SetDatiErrStat(mm(0.008), mm(0.011), mm(0.017), mm(0.006), mm(0.009), mm(0.021));
        }
        // Points the surveyor excluded from processing keep no plane coordinates.
        if (plane && (r.codes & EGN_CODE_NE) == 0) {
            double x, y, z;
            if (hasAntenna && group.GetConvCoord()->GrafGpsToPlanAtt(
                                  p->GetLat(), p->GetLong(), p->GetElev(), antenna, x, y, z)) {
                p->SetCoordXY(x, y);
                p->SetCoordZ(z);
            }
        }
        ++index;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.json\n", argv[0]);
        return 2;
    }
    gpsbook::FieldBook fb;
    fb.context.m_Rig.SetLblNome2("GPS");
    for (const char* model : {"PUNTO", "SPIGOLO", "PF", "CHIODO", "PICCHETTO", "ALBERO"})
        fb.book.m_OpzListDisEgn.AddOpzCom(model);

    // --- Survey 1: Via Saragozza, Bologna, processed in RDN2008 / UTM zone 32N -------------
    const double undulation1 = 45.47;
    CGrpGps* g1 = fb.book.AddGrp("Rilievo Saragozza");
    std::string error;
    if (!g1->SetProjection("EPSG:6707", undulation1, &error)) {
        std::fprintf(stderr, "EPSG:6707 refused: %s\n", error.c_str());
        return 1;
    }
    const double base1Lat = 44.489352 * kDeg, base1Lon = 11.326541 * kDeg;
    const double base1Ground = 63.412, base1Antenna = 1.652;
    g1->SetNome("B01");
    g1->SetSecScri("Base su caposaldo terrazzo");
    g1->SetNote("Treppiede su caposaldo in terrazzo, centramento forzato.\n"
                "Ricevitore acceso alle 8:40, sessione di 4 ore.");
    g1->SetBaseAltAnt(base1Antenna);
    g1->SetBaseGeo(base1Lat, base1Lon, millimetres(base1Ground + undulation1 + base1Antenna));
    g1->SetTipoRicevitore(2);
    g1->SetTipoRilievo(2);
    g1->m_dPdop = 1.6;
    g1->m_dGdop = 2.1;
    g1->SetTargetDrawing(1);
    {
        double x, y, z;
        if (!g1->GetConvCoord()->GrafGpsToPlanAtt(g1->GetBaseLat(), g1->GetBaseLong(),
                                                  g1->GetBaseElev(), base1Antenna, x, y, z)) {
            std::fprintf(stderr, "the base station could not be converted\n");
            return 1;
        }
        g1->SetCoordXY(x, y);
        g1->SetCoordZ(z);
    }
    const double nan = std::nan("");
    const std::vector<Rover> survey1 = {
        {"PF12", "PF12/0087/A944 spigolo fabbricato", "PF", 412.35, -287.90, 66.214, 2.000, 0, 1.4,
         1.9, true, true, "Spigolo nord-est del fabbricato, a filo intonaco."},
        {"PF07", "PF07/0087/A944 chiodo su marciapiede", "PF", -356.10, 512.44, 61.870, 2.000, 0,
         1.5, 2.0, true, true, nullptr},
        {"PF15", "PF15/0088/A944 palo illuminazione", "PF", 1210.70, 950.15, 58.902, 2.000,
         EGN_CODE_QU, 1.8, 2.4, true, true, nullptr},
        {"101", "CIGLIO STRADA", "PUNTO", 35.20, 18.75, 63.105, 2.000, EGN_CODE_IL, 1.3, 1.7, true,
         false, nullptr},
        {"102", "CIGLIO STRADA", "PUNTO", 52.84, 31.02, 63.072, 2.000, 0, 1.3, 1.7, true, false,
         nullptr},
        {"103", "CIGLIO STRADA", "PUNTO", 71.10, 44.63, 63.020, 2.000, EGN_CODE_FL, 1.3, 1.8, true,
         false, nullptr},
        {"104", "TOMBINO", "PUNTO", 60.47, 12.30, 62.981, 2.000, EGN_CODE_NL, 1.4, 1.8, true, false,
         nullptr},
        {"105", "SPIGOLO FABBRICATO", "SPIGOLO", 88.91, -22.48, 63.544, 1.800, EGN_CODE_NC, 2.3,
         2.9, false, false, "Punto coperto da vegetazione.\nMisura ripetuta dopo dieci minuti."},
        {"106", "SPIGOLO FABBRICATO", "SPIGOLO", 102.36, -9.71, 63.560, 1.800, 0, 2.1, 2.7, true,
         true, nullptr},
        {"107", "RECINZIONE non elaborare", "PICCHETTO", -40.25, -66.80, 62.730, 2.000, EGN_CODE_NE,
         2.4, 3.1, false, false, "Fix perso durante la misura: escluso dall'elaborazione."},
        {"108", "ALBERO platano", "ALBERO", -12.66, 75.91, 62.455, 2.000, EGN_CODE_NV, 1.9, 2.5,
         true, false, nullptr},
        {"109", "CANCELLO carraio", "PUNTO", 140.05, 101.42, 62.918, 2.000, 0, 1.6, 2.1, true,
         false, nullptr},
        {"110", "CHIODO rilievo di dettaglio", "CHIODO", 165.73, 120.88, 62.877, nan, 0, 1.7, 2.2,
         false, false, "Altezza antenna non registrata dal controller."},
        {"S1", "Stazione ausiliaria su picchetto", "PICCHETTO", 220.31, -140.56, 64.120, 2.000,
         EGN_CODE_OR, 1.5, 2.0, true, true, nullptr},
    };
    addRovers(*g1, base1Lat, base1Lon, undulation1, survey1, true);

    // --- Survey 2: Casalecchio di Reno, reference-network station, not processed yet --------
    const double undulation2 = 45.62;
    CGrpGps* g2 = fb.book.AddGrp("Rilievo Casalecchio (da elaborare)");
    const double base2Lat = 44.476218 * kDeg, base2Lon = 11.276904 * kDeg;
    const double base2Ground = 61.085, base2Antenna = 0.095;
    g2->SetNome("CS01");
    g2->SetSecScri("Stazione permanente");
    g2->SetBaseAltAnt(base2Antenna);
    g2->SetBaseGeo(base2Lat, base2Lon, millimetres(base2Ground + undulation2 + base2Antenna));
    g2->SetBaseEuref(10);
    g2->SetTipoRicevitore(2);
    g2->SetTipoRilievo(1);
    g2->SetTargetDrawing(2);
    fb.drawings.LockDrawing(2);
    const std::vector<Rover> survey2 = {
        {"301", "PICCHETTO confine", "PICCHETTO", 310.22, 145.87, 60.412, 2.000, 0, 1.5, 2.0, true,
         false, nullptr},
        {"302", "PICCHETTO confine", "PICCHETTO", 334.90, 188.05, 60.377, 2.000, 0, 1.5, 2.0, true,
         false, nullptr},
        {"303", "PICCHETTO confine", "PICCHETTO", 301.48, 230.61, 60.290, 2.000, EGN_CODE_CL, 1.6,
         2.1, true, false, nullptr},
        {"304", "SPIGOLO FABBRICATO rurale", "SPIGOLO", 275.13, 201.76, 60.855, 2.000, 0, 2.2, 2.8,
         false, false, nullptr},
        {"305", "ALBERO quercia", "ALBERO", 260.40, 160.02, 60.338, 2.000, 0, 1.9, 2.4, true, false,
         nullptr},
        {"306", "FOSSO sponda", "PUNTO", 355.62, 120.44, 59.804, 1.800, EGN_CODE_NT, 2.0, 2.6, true,
         false, nullptr},
        {"VRS1", "Appoggio rete NRTK", "PUNTO", -95.31, 410.28, 62.016, 2.000, 0, 1.2, 1.6, true,
         true, "Punto di controllo misurato in NRTK, 180 epoche."},
        {"PF03", "PF03/0012/B880 spigolo muro", "PF", 1480.55, -760.12, 66.903, 2.000, 0, 1.7, 2.3,
         true, true, nullptr},
    };
    addRovers(*g2, base2Lat, base2Lon, undulation2, survey2, false);
    g2->GetPunAt(6)->SetPointAsVrs();

    // --- GIS themes: a manhole and a tree of the first survey -----------------------------
    gis::CTheme* manholes = fb.gis.CreateTheme("Pozzetti", gis::ENT_TYPE_POINT);
    gis::CDBTable* manholeTable = fb.gis.GetTable(manholes);
    fb.gis.AddField(manholeTable, "Nome", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_NAME);
    fb.gis.AddField(manholeTable, "Codice", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_CODE);
    fb.gis.AddField(manholeTable, "Materiale", gis::FieldDataType::Text);
    fb.gis.AddField(manholeTable, "Profondita", gis::FieldDataType::Double);
    fb.gis.AddField(manholeTable, "Ispezionabile", gis::FieldDataType::Bool);
    fb.gis.AddField(manholeTable, "Anno", gis::FieldDataType::Long);
    gis::CTheme* trees = fb.gis.CreateTheme("Alberature", gis::ENT_TYPE_POINT);
    gis::CDBTable* treeTable = fb.gis.GetTable(trees);
    fb.gis.AddField(treeTable, "Nome", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_NAME);
    fb.gis.AddField(treeTable, "Specie", gis::FieldDataType::Text);
    fb.gis.AddField(treeTable, "Diametro", gis::FieldDataType::Double);

    CPunGps* manhole = g1->GetPunAt(6); // 104 TOMBINO
    CPunGps* tree = g1->GetPunAt(10);   // 108 ALBERO
    if (!CheckCodeIsTable(&fb.gis, manhole, "Pozzetti") ||
        !CheckCodeIsTable(&fb.gis, tree, "Alberature")) {
        std::fprintf(stderr, "the GIS entities could not be made\n");
        return 1;
    }
    auto setValue = [&](CEgn* element, int field, kit::CPolyValue value) {
        kit::CResultRow* row = fb.gis.GetRow(gis::CLibGis::GetEnt(element->GetEntVert()));
        fb.gis.SetRowValue(row, field, value);
    };
    setValue(manhole, 2, kit::CPolyValue(kit::String("ghisa")));
    setValue(manhole, 3, kit::CPolyValue(1.35));
    setValue(manhole, 4, kit::CPolyValue(true));
    setValue(manhole, 5, kit::CPolyValue(std::int32_t{1998}));
    setValue(tree, 1, kit::CPolyValue(kit::String("Platanus x acerifolia")));
    setValue(tree, 2, kit::CPolyValue(0.62));
    for (CEgn* element : {static_cast<CEgn*>(manhole), static_cast<CEgn*>(tree)})
        gis::CLibGis::ClearEntModified(gis::CLibGis::GetEnt(element->GetEntVert()));

    // --- drawn points not yet in any group: a kerb and two manholes drawn near the first base
    fb.drawingPoints = {
        {"D1", "CORDOLO marciapiede", 685021.317, 4928893.604, 63.118},
        {"D2", "CHIUSINO enel", 685047.902, 4928871.255, 63.240},
        {"D3", "CHIUSINO telecom", 684962.481, 4928830.777, 63.596},
    };

    std::string saveError = gpsbook::saveFieldBook(argv[1], fb);
    if (!saveError.empty()) {
        std::fprintf(stderr, "%s\n", saveError.c_str());
        return 1;
    }
    return 0;
}
