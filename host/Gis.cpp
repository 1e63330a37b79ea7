// The GIS data library: themes, tables, entities, parts, vertices and attribute rows.
#include "gpsdialogs/interfaces/Gis.h"

#include "gpsdialogs/interfaces/Egn.h"

#include "TextNumbers.h"

#include <algorithm>

namespace gis {

namespace {

kit::CPolyValue::Type columnType(FieldDataType type) {
    switch (type) {
    case FieldDataType::Long:
        return kit::CPolyValue::Type::Long;
    case FieldDataType::Double:
        return kit::CPolyValue::Type::Double;
    case FieldDataType::Bool:
        return kit::CPolyValue::Type::Bool;
    case FieldDataType::Date:
        return kit::CPolyValue::Type::Date;
    case FieldDataType::Text:
        break;
    }
    return kit::CPolyValue::Type::Text;
}

} // namespace

// ---- element classes ------------------------------------------------------------------------

CField::CField(std::string name, FieldDataType type, int kind, CDBTable* table)
    : m_name(std::move(name)), m_type(type), m_kind(kind), m_pTable(table) {}

CDBTable::CDBTable(CTheme* theme) : m_pTheme(theme) {}
CDBTable::~CDBTable() = default;

CField* CDBTable::GetField(int index) const {
    if (index < 0 || index >= GetNumFields()) return nullptr;
    return m_fields[static_cast<std::size_t>(index)].get();
}

namespace {

std::string asciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

int CDBTable::FindField(const std::string& name) const {
    const auto it = m_fieldByName.find(asciiLower(name));
    return it == m_fieldByName.end() ? -1 : it->second;
}

CEntVert::CEntVert(CEntPart* part, const kit::geom::PNT_3D& pos) : m_pPart(part), m_pos(pos) {}

CEntVert::~CEntVert() {
    // Elements linked to this vertex must not keep a pointer to it.
    std::vector<CEgn*> linked;
    linked.swap(m_linked);
    for (CEgn* egn : linked)
        egn->ForgetEntVert(this);
}

CEnt* CEntVert::GetEnt() const {
    return m_pPart ? m_pPart->GetEnt() : nullptr;
}

CEntPart::CEntPart(CEnt* ent) : m_pEnt(ent) {}
CEntPart::~CEntPart() = default;

CEnt::CEnt(CTheme* theme) : m_pTheme(theme), m_bModified(false) {}
CEnt::~CEnt() = default;

CTheme::CTheme(kit::String name, int entType)
    : m_name(std::move(name)), m_entType(entType), m_table(this) {}

CTheme::~CTheme() {
    // Entities first: their vertices unlink elements while the theme is still whole.
    m_ents.clear();
}

CEnt* CTheme::GetEntAt(int index) const {
    if (index < 0 || index >= GetNumEnts()) return nullptr;
    return m_ents[static_cast<std::size_t>(index)].get();
}

// ---- CLibGis --------------------------------------------------------------------------------

CLibGis::CLibGis() = default;
CLibGis::~CLibGis() = default;

kit::String CLibGis::GetThemeName(CEntVert* vertex) const {
    return GetThemeName(GetTheme(GetEnt(vertex)));
}

CEnt* CLibGis::GetEnt(CEntVert* vertex) {
    return vertex ? vertex->GetEnt() : nullptr;
}

CTheme* CLibGis::GetTheme(CEnt* ent) {
    return ent ? ent->GetTheme() : nullptr;
}

CDBTable* CLibGis::GetTable(CTheme* theme) {
    return theme ? &theme->m_table : nullptr;
}

kit::CResultRow* CLibGis::GetRow(CEnt* ent) {
    return ent ? &ent->m_row : nullptr;
}

CEnt* CLibGis::NewEnt(CTheme* theme) {
    auto ent = std::unique_ptr<CEnt>(new CEnt(theme));
    std::vector<kit::CPolyValue::Type> types;
    for (const auto& field : theme->m_table.m_fields)
        types.push_back(columnType(field->GetDataType()));
    ent->m_row = kit::CResultRow(types);
    theme->m_ents.push_back(std::move(ent));
    return theme->m_ents.back().get();
}

CEnt* CLibGis::CloneEnt(CTheme* theme, CEnt* ent) {
    if (!theme || !ent) return nullptr;
    CEnt* copy = NewEnt(theme);
    for (const auto& part : ent->m_parts) {
        CEntPart* newPart = AddEntPart(copy);
        for (const auto& vert : part->m_verts)
            AddEntVert(newPart, vert->m_pos);
    }
    if (theme == ent->m_pTheme) {
        copy->m_row = ent->m_row;
    } else {
        const CDBTable& from = ent->m_pTheme->m_table;
        const CDBTable& to = theme->m_table;
        for (int i = 0; i < to.GetNumFields(); ++i) {
            const int j = from.FindField(to.GetField(i)->GetName());
            kit::CPolyValue value;
            if (j >= 0 && ent->m_row.GetValue(j, value))
                copy->m_row.SetValue(i, value); // a value that does not fit stays empty
        }
    }
    return copy;
}

CEnt* CLibGis::CreateEntPoint(CTheme* theme, const kit::geom::PNT_3D& position) {
    if (!theme) return nullptr;
    CEnt* ent = NewEnt(theme);
    AddEntVert(AddEntPart(ent), position);
    return ent;
}

bool CLibGis::DeleteEnt(CEnt* ent) {
    if (!ent || !ent->m_pTheme) return false;
    auto& ents = ent->m_pTheme->m_ents;
    auto it = std::find_if(ents.begin(), ents.end(),
                           [ent](const std::unique_ptr<CEnt>& e) { return e.get() == ent; });
    if (it == ents.end()) return false;
    std::unique_ptr<CEnt> doomed = std::move(*it);
    ents.erase(it);
    return true; // deleted here; its vertices unlink their elements
}

bool CLibGis::FindEntVertIndex(CEnt* ent, CEntVert* vertex, int& part, int& vert) {
    part = -1;
    vert = -1;
    if (!ent || !vertex) return false;
    for (std::size_t p = 0; p < ent->m_parts.size(); ++p) {
        const auto& verts = ent->m_parts[p]->m_verts;
        for (std::size_t v = 0; v < verts.size(); ++v) {
            if (verts[v].get() == vertex) {
                part = static_cast<int>(p);
                vert = static_cast<int>(v);
                return true;
            }
        }
    }
    return false;
}

CEntPart* CLibGis::GetEntPart(CEnt* ent, int index) const {
    if (!ent || index < 0 || index >= ent->GetNumParts()) return nullptr;
    return ent->m_parts[static_cast<std::size_t>(index)].get();
}

CEntVert* CLibGis::GetEntVert(CEntPart* part, int index) {
    if (!part || index < 0 || index >= part->GetNumVerts()) return nullptr;
    return part->m_verts[static_cast<std::size_t>(index)].get();
}

bool CLibGis::SetEntVertCoord(CEntVert* vertex, double x, double y, double z, bool markModified) {
    if (!vertex) return false;
    vertex->m_pos = kit::geom::PNT_3D{x, y, z};
    if (markModified) {
        if (CEnt* ent = vertex->GetEnt()) ent->m_bModified = true;
    }
    return true;
}

int CLibGis::GetNumFields(CDBTable* table) const {
    return table ? table->GetNumFields() : 0;
}

CField* CLibGis::GetField(CDBTable* table, int index) {
    return table ? table->GetField(index) : nullptr;
}

bool CLibGis::IsFieldPredefined(CField* field) {
    return field && field->GetKind() != FIELD_KIND_NONE;
}

int CLibGis::GetFieldType(CField* field) {
    return field ? field->GetKind() : FIELD_KIND_NONE;
}

bool CLibGis::GetRowValue(kit::CResultRow* row, int index, kit::CPolyValue& value) {
    return row && row->GetValue(index, value);
}

bool CLibGis::SetRowValue(kit::CResultRow* row, int index, kit::CPolyValue& value) {
    if (!row || !row->SetValue(index, value)) return false;
    row->GetValue(index, value);
    return true;
}

int CLibGis::GetNumThemes() const {
    return static_cast<int>(m_themes.size());
}

CTheme* CLibGis::GetTheme(int index) {
    if (index < 0 || index >= GetNumThemes()) return nullptr;
    return m_themes[static_cast<std::size_t>(index)].get();
}

int CLibGis::GetEntType(CTheme* theme) {
    return theme ? theme->GetEntType() : 0;
}

kit::String CLibGis::GetThemeName(CTheme* theme) {
    return theme ? theme->GetName() : kit::String();
}

CTheme* CLibGis::FindTheme(const kit::String& name) {
    const auto it = m_themeByName.find(name.GetText());
    return it == m_themeByName.end() ? nullptr : it->second;
}

CTheme* CLibGis::CreateTheme(const kit::String& name, int entType) {
    if (name.IsEmpty() || FindTheme(name)) return nullptr;
    m_themes.push_back(std::unique_ptr<CTheme>(new CTheme(name, entType)));
    m_themeByName.emplace(name.GetText(), m_themes.back().get());
    return m_themes.back().get();
}

bool CLibGis::DeleteTheme(CTheme* theme) {
    auto it = std::find_if(m_themes.begin(), m_themes.end(),
                           [theme](const std::unique_ptr<CTheme>& t) { return t.get() == theme; });
    if (!theme || it == m_themes.end()) return false;
    std::unique_ptr<CTheme> doomed = std::move(*it);
    m_themes.erase(it);
    m_themeByName.erase(theme->GetName().GetText());
    return true;
}

CField* CLibGis::AddField(CDBTable* table, const std::string& name, FieldDataType type, int kind) {
    if (!table || hostutil::trimBlanks(name).empty() || table->FindField(name) >= 0) return nullptr;
    if (kind != FIELD_KIND_NONE && type != FieldDataType::Text) return nullptr;
    table->m_fields.push_back(std::unique_ptr<CField>(new CField(name, type, kind, table)));
    table->m_fieldByName.emplace(asciiLower(name), table->GetNumFields() - 1);
    if (CTheme* theme = table->GetTheme())
        for (const auto& ent : theme->m_ents)
            ent->m_row.AddColumn(columnType(type));
    return table->m_fields.back().get();
}

std::string CLibGis::GetFieldName(CField* field) {
    return field ? field->GetName() : "";
}

FieldDataType CLibGis::GetFieldDataType(CField* field) {
    return field ? field->GetDataType() : FieldDataType::Text;
}

CEnt* CLibGis::CreateEnt(CTheme* theme) {
    return theme ? NewEnt(theme) : nullptr;
}

CEntPart* CLibGis::AddEntPart(CEnt* ent) {
    if (!ent) return nullptr;
    ent->m_parts.push_back(std::unique_ptr<CEntPart>(new CEntPart(ent)));
    return ent->m_parts.back().get();
}

CEntVert* CLibGis::AddEntVert(CEntPart* part, const kit::geom::PNT_3D& position) {
    if (!part) return nullptr;
    part->m_verts.push_back(std::unique_ptr<CEntVert>(new CEntVert(part, position)));
    return part->m_verts.back().get();
}

void CLibGis::SetPredefinedText(CEnt* ent, int kind, const kit::String& text) {
    if (ent == nullptr || ent->m_pTheme == nullptr || kind == FIELD_KIND_NONE) return;
    const CDBTable& table = ent->m_pTheme->m_table;
    for (int i = 0; i < table.GetNumFields(); ++i)
        if (table.GetField(i)->GetKind() == kind) ent->m_row.SetValue(i, kit::CPolyValue(text));
}

void CLibGis::ClearEntModified(CEnt* ent) {
    if (ent) ent->m_bModified = false;
}

} // namespace gis
