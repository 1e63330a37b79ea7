// The point editor's fixture with GIS themes: two point themes and a line theme, and the
// first point linked to a manhole whose attributes use every kind of field.
#pragma once

#include "EditorFixture.h"

#include <string>
#include <vector>

namespace pointedit_test {

// Two point themes and a line theme; the first point is a manhole with values.
struct GisEditor : Editor {
    gis::CTheme* manholes = nullptr;
    gis::CTheme* trees = nullptr;
    gis::CTheme* pipes = nullptr;
    gis::CEnt* manhole = nullptr;

    GisEditor() {
        manholes = gis.CreateTheme("Pozzetti", gis::ENT_TYPE_POINT);
        gis::CDBTable* t = gis.GetTable(manholes);
        gis.AddField(t, "Nome", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_NAME);
        gis.AddField(t, "Codice", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_CODE);
        gis.AddField(t, "Profondita", gis::FieldDataType::Double);
        gis.AddField(t, "Numero", gis::FieldDataType::Long);
        gis.AddField(t, "Ispezionato", gis::FieldDataType::Bool);
        gis.AddField(t, "Ultima ispezione", gis::FieldDataType::Date);
        pipes = gis.CreateTheme("Condotte", gis::ENT_TYPE_LINE);
        gis.AddField(gis.GetTable(pipes), "Materiale", gis::FieldDataType::Text);
        trees = gis.CreateTheme("Alberi", gis::ENT_TYPE_POINT);
        gis::CDBTable* u = gis.GetTable(trees);
        gis.AddField(u, "Nome", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_NAME);
        gis.AddField(u, "Specie", gis::FieldDataType::Text);
        gis.AddField(u, "Diametro", gis::FieldDataType::Double);

        CPunGps* p = sample.first;
        manhole = gis.CreateEntPoint(manholes, {p->GetCoordX(), p->GetCoordY(), p->GetCoordZ()});
        kit::CResultRow* r = gis.GetRow(manhole);
        std::vector<kit::CPolyValue> values = {kit::CPolyValue(kit::String("101")),
                                               kit::CPolyValue(kit::String("Spigolo fabbricato")),
                                               kit::CPolyValue(1.35),
                                               kit::CPolyValue(std::int32_t{7}),
                                               kit::CPolyValue(true),
                                               kit::CPolyValue(kit::Date{2024, 5, 17})};
        for (int i = 0; i < static_cast<int>(values.size()); ++i)
            gis.SetRowValue(r, i, values[static_cast<std::size_t>(i)]);
        p->SetEntVert(gis.GetEntVert(gis.GetEntPart(manhole, 0), 0));
        gis::CLibGis::ClearEntModified(manhole);
    }

    // The point's entity as the host sees it: theme, position and values.
    std::string entity(const CPunGps* p) {
        gis::CEntVert* v = p->GetEntVert();
        if (v == nullptr) return "none";
        gis::CEnt* ent = gis::CLibGis::GetEnt(v);
        std::string s = gis.GetThemeName(v).GetText() + "@" + hex(v->GetCoord().x) + "," +
                        hex(v->GetCoord().y) + "," + hex(v->GetCoord().z) + ":";
        kit::CResultRow* r = gis.GetRow(ent);
        for (int i = 0; i < r->GetCount(); ++i) {
            kit::CPolyValue value;
            gis.GetRowValue(r, i, value);
            s += value.ToString().GetText() + "|";
        }
        return s + (ent->IsModified() ? "modified" : "");
    }

    int entities() {
        int n = 0;
        for (int t = 0; t < gis.GetNumThemes(); ++t)
            n += gis.GetTheme(t)->GetNumEnts();
        return n;
    }
};

} // namespace pointedit_test
