// The link between survey elements and GIS entities.
#include "gpsdialogs/interfaces/Egn.h"
#include "gpsdialogs/interfaces/Gis.h"

namespace {

// Removes the element's link to old; deletes old when no other element still uses it.
void dropEntity(gis::CLibGis* lib, CEgn* egn, gis::CEnt* old) {
    egn->SetEntVert(nullptr);
    if (!old) return;
    for (int p = 0; p < old->GetNumParts(); ++p) {
        gis::CEntPart* part = lib->GetEntPart(old, p);
        for (int v = 0; v < part->GetNumVerts(); ++v)
            if (!lib->GetEntVert(part, v)->GetLinkedElements().empty())
                return; // still used by another element
    }
    lib->DeleteEnt(old);
}

// The predefined fields take the element's name and description.
void fillPredefined(gis::CLibGis* lib, gis::CEnt* ent, const CEgn* egn) {
    gis::CDBTable* table = lib->GetTable(gis::CLibGis::GetTheme(ent));
    kit::CResultRow* row = lib->GetRow(ent);
    for (int i = 0; i < lib->GetNumFields(table); ++i) {
        gis::CField* field = lib->GetField(table, i);
        kit::CPolyValue value;
        switch (lib->GetFieldType(field)) {
        case gis::FIELD_KIND_POINT_NAME:
            value = kit::String(egn->GetNome());
            break;
        case gis::FIELD_KIND_POINT_CODE:
            value = kit::String(egn->GetSecScri());
            break;
        default:
            continue;
        }
        lib->SetRowValue(row, i, value);
    }
}

} // namespace

bool CheckCodeIsTable(gis::CLibGis* lib, CEgn* egn, const kit::String& themeName) {
    if (!lib || !egn) return false;
    gis::CEntVert* vertex = egn->GetEntVert();
    gis::CEnt* old = gis::CLibGis::GetEnt(vertex);
    gis::CTheme* theme = themeName.IsEmpty() ? nullptr : lib->FindTheme(themeName);

    if (!theme) {
        dropEntity(lib, egn, old);
        return true;
    }
    if (old && gis::CLibGis::GetTheme(old) == theme) return true;

    kit::geom::PNT_3D position{egn->GetCoordX(), egn->GetCoordY(), egn->GetCoordZ()};
    if (vertex && (!IsEgnValueDefined(position.x) || !IsEgnValueDefined(position.y)))
        position = vertex->GetCoord();

    gis::CEnt* ent = lib->CreateEntPoint(theme, position);
    if (!ent) return false;
    if (old) {
        // Same-named fields keep their values where they fit the new field.
        gis::CDBTable* from = lib->GetTable(gis::CLibGis::GetTheme(old));
        gis::CDBTable* to = lib->GetTable(theme);
        kit::CResultRow* oldRow = lib->GetRow(old);
        kit::CResultRow* newRow = lib->GetRow(ent);
        for (int i = 0; i < lib->GetNumFields(to); ++i) {
            const int j = from->FindField(lib->GetField(to, i)->GetName());
            kit::CPolyValue value;
            if (j >= 0 && lib->GetRowValue(oldRow, j, value)) lib->SetRowValue(newRow, i, value);
        }
    }
    fillPredefined(lib, ent, egn);
    dropEntity(lib, egn, old);
    egn->SetEntVert(lib->GetEntVert(lib->GetEntPart(ent, 0), 0));
    return true;
}
