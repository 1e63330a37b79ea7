#include "core/BookText.h"

#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gpsbook {

namespace {

// The theme of the entity the element is a vertex of; empty without one.
std::string themeName(const CEgn& element) {
    gis::CTheme* theme = gis::CLibGis::GetTheme(gis::CLibGis::GetEnt(element.GetEntVert()));
    return theme != nullptr ? theme->GetName().GetText() : std::string();
}

} // namespace

const RowTexts& columnTitles() {
    static const RowTexts titles = columnTitles("m");
    return titles;
}

RowTexts columnTitles(const std::string& planeUnit) {
    const std::string plane = planeUnit.empty() ? std::string() : " [" + planeUnit + "]";
    return {"Nome",           "Descrizione", "Tema GIS",     "Latitudine", "Longitudine",
            "Elevazione [m]", "Est" + plane, "Nord" + plane, "Quota [m]",  "Alt. antenna [m]"};
}

std::string planeUnit(const CGrpGps& group) {
    const CConvCoord* conv = group.IsCdElabValid() ? group.GetConvCoord() : nullptr;
    const std::string unit = conv != nullptr ? conv->GetPlaneUnit() : std::string();
    return unit.empty() ? "m" : unit;
}

std::string systemText(const CGrpGps& group) {
    const CConvCoord* conv = group.GetConvCoord();
    if (conv == nullptr || !conv->IsValid()) return "nessuna proiezione calcolata";
    std::string text = conv->GetCrsName().empty() ? conv->GetCrs() : conv->GetCrsName();
    const std::string code = conv->GetCrsCode();
    text += ", " + (code.empty() ? std::string("nessun codice EPSG") : code);
    text += ", ondulazione " + formatLength(conv->GetUndulation()) + " m";
    const std::string unit = conv->GetPlaneUnit();
    if (!unit.empty() && unit != "m") text += ", Est e Nord in " + unit + ", quote in m";
    return text;
}

std::string codesText(const CEgn& element) {
    const std::pair<const char*, bool> codes[] = {
        {"OR", element.IsCodedOR()}, {"QU", element.IsCodedQU()}, {"OC", element.IsCodedOC()},
        {"NC", element.IsCodedNC()}, {"CL", element.IsCodedCL()}, {"NT", element.IsCodedNT()},
        {"LD", element.IsCodedLD()}, {"FL", element.IsCodedFL()}, {"NP", element.IsCodedNP()},
        {"NE", element.IsCodedNE()}, {"IL", element.IsCodedIL()}, {"NV", element.IsCodedNV()},
        {"NL", element.IsCodedNL()}};
    std::string text;
    for (const auto& [name, on] : codes)
        if (on) text += (text.empty() ? "" : " ") + std::string(name);
    return text;
}

std::string formatAngle(double radians) {
    if (!IsEgnValueDefined(radians) || !std::isfinite(radians)) return {};
    int deg = 0, min = 0;
    double sec = 0.0;
    AngSesgFromRadi(radians, deg, min, sec);
    // The sign sits on the first part that is not zero; a later negative part only carries
    // a remainder too small to show (44°59'59.999999" comes as 45, 0, -0.000001).
    bool negative = deg != 0 ? deg < 0 : (min != 0 ? min < 0 : sec < 0);
    char text[64];
    std::snprintf(text, sizeof text, "%s%d°%02d'%08.5f\"", negative ? "-" : "", std::abs(deg),
                  std::abs(min), std::fabs(sec));
    std::string out = text;
    if (out == "-0°00'00.00000\"") out.erase(0, 1);
    return out;
}

std::string formatNumber(double value, int decimals) {
    if (!IsEgnValueDefined(value) || !std::isfinite(value)) return {};
    return StringDaDouble(value, 0, decimals);
}

std::string formatLength(double value) {
    return formatNumber(value, 3);
}

RowTexts groupRow(const CGrpGps& group) {
    RowTexts row;
    row[ColName] = group.GetNomeGrp();
    row[ColDescription] = "Stazione base " + group.GetNome();
    if (!group.GetSecScri().empty()) row[ColDescription] += " - " + group.GetSecScri();
    row[ColTheme] = themeName(group);
    row[ColLatitude] = formatAngle(group.GetBaseLat());
    row[ColLongitude] = formatAngle(group.GetBaseLong());
    row[ColElevation] = formatLength(group.GetBaseElev());
    row[ColEast] = formatLength(group.GetCoordX());
    row[ColNorth] = formatLength(group.GetCoordY());
    row[ColHeight] = formatLength(group.GetCoordZ());
    row[ColAntenna] = formatLength(group.GetBaseAltAnt());
    return row;
}

RowTexts pointRow(const CPunGps& point) {
    RowTexts row;
    row[ColName] = point.GetNome();
    row[ColDescription] = point.GetCode();
    row[ColTheme] = themeName(point);
    row[ColLatitude] = formatAngle(point.GetLat());
    row[ColLongitude] = formatAngle(point.GetLong());
    row[ColElevation] = formatLength(point.GetElev());
    row[ColEast] = formatLength(point.GetCoordX());
    row[ColNorth] = formatLength(point.GetCoordY());
    row[ColHeight] = formatLength(point.GetCoordZ());
    row[ColAntenna] = formatLength(point.GetAltAnt());
    return row;
}

std::string receiverTypeName(unsigned char type) {
    switch (type) {
    case 1:
        return "Monofrequenza";
    case 2:
        return "Doppia frequenza";
    default:
        return "non noto";
    }
}

std::string surveyTypeName(unsigned char type) {
    switch (type) {
    case 1:
        return "Baseline";
    case 2:
        return "RTK";
    default:
        return "non noto";
    }
}

} // namespace gpsbook
