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
    static const RowTexts titles = {"Nome",        "Descrizione", "Tema GIS", "Latitudine",
                                    "Longitudine", "Elevazione",  "Est",      "Nord",
                                    "Quota",       "Alt. antenna"};
    return titles;
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

namespace {

std::string escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string cell(const std::string& text, bool right = false) {
    return std::string(right ? "<td align=\"right\">" : "<td>") + escape(text) + "</td>";
}

std::string orDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

} // namespace

std::string reportHtml(const std::vector<CGrpGps*>& groups, const std::string& title,
                       const std::string& subtitle) {
    std::string html = "<html><body style=\"font-size:8pt\">";
    html += "<h1>Libretto GPS - " + escape(title) + "</h1>";
    if (!subtitle.empty()) html += "<p>" + escape(subtitle) + "</p>";
    for (const CGrpGps* group : groups) {
        if (group == nullptr) continue;
        html += "<h2>Gruppo " + escape(group->GetNomeGrp()) + "</h2>";
        html += "<p><b>Stazione base:</b> " + escape(group->GetNome());
        if (!group->GetSecScri().empty()) html += " - " + escape(group->GetSecScri());
        html += "<br><b>Posizione:</b> lat. " + escape(orDash(formatAngle(group->GetBaseLat()))) +
                ", long. " + escape(orDash(formatAngle(group->GetBaseLong()))) + ", elev. " +
                escape(orDash(formatLength(group->GetBaseElev()))) + ", alt. antenna " +
                escape(orDash(formatLength(group->GetBaseAltAnt())));
        html += "<br><b>Coordinate piane:</b> Est " +
                escape(orDash(formatLength(group->GetCoordX()))) + ", Nord " +
                escape(orDash(formatLength(group->GetCoordY()))) + ", Quota " +
                escape(orDash(formatLength(group->GetCoordZ())));
        html += "<br><b>Proiezione:</b> ";
        if (const CConvCoord* conv = group->GetConvCoord()) {
            html += escape(conv->GetCrsName().empty() ? conv->GetCrs() : conv->GetCrsName()) +
                    ", ondulazione " + escape(formatLength(conv->GetUndulation())) + " m";
        } else {
            html += "nessuna proiezione calcolata";
        }
        html += "<br><b>Ricevitore:</b> " + escape(receiverTypeName(group->GetTipoRicevitore())) +
                ", <b>rilievo:</b> " + escape(surveyTypeName(group->GetTipoRilievo())) +
                ", <b>PDOP</b> " + escape(orDash(formatNumber(group->m_dPdop, 2))) +
                ", <b>GDOP</b> " + escape(orDash(formatNumber(group->m_dGdop, 2))) + "</p>";

        html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><tr>"
                "<th>N.</th>";
        for (const std::string& heading : columnTitles())
            html += "<th>" + escape(heading) + "</th>";
        html += "<th>PDOP</th></tr>";
        for (int p = 0; p < group->GetPunCount(); ++p) {
            const CPunGps* point = group->GetPunAt(p);
            RowTexts row = pointRow(*point);
            html += "<tr>" + cell(std::to_string(p + 1), true) + cell(row[ColName]) +
                    cell(row[ColDescription]) + cell(row[ColTheme]);
            for (int c = ColLatitude; c < ColumnCount; ++c)
                html += cell(row[c], true);
            html += cell(formatNumber(point->GetPdop(), 2), true) + "</tr>";
        }
        if (group->GetPunCount() == 0)
            html += "<tr><td colspan=\"" + std::to_string(ColumnCount + 2) +
                    "\">Nessun punto.</td></tr>";
        html += "</table>";
    }
    html += "</body></html>";
    return html;
}

} // namespace gpsbook
