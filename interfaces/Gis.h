// The host's GIS data library: themes with an entity type and an attribute table, entities
// made of parts and vertices, each entity with a row of attribute values.
#pragma once

#include "gpsdialogs/interfaces/Kit.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CEgn;

namespace gis {

class CLibGis;
class CTheme;
class CDBTable;
class CEnt;
class CEntPart;

/// \brief Entity type of point themes (the only one the GPS point editor lists).
inline constexpr int ENT_TYPE_POINT = 1;
/// \brief Entity type of line themes.
inline constexpr int ENT_TYPE_LINE = 2;
/// \brief Entity type of area themes.
inline constexpr int ENT_TYPE_AREA = 3;

/// \brief Predefined kind of a field that is not predefined.
inline constexpr int FIELD_KIND_NONE = 0;
/// \brief Predefined kind of the field holding the point name.
inline constexpr int FIELD_KIND_POINT_NAME = 1;
/// \brief Predefined kind of the field holding the point code.
inline constexpr int FIELD_KIND_POINT_CODE = 2;

/// \brief Data type of a field.
enum class FieldDataType { Long, Double, Text, Bool, Date };

/// \brief A field of an attribute table: name, data type, predefined kind.
class CField {
public:
    /// \brief The field's name.
    const std::string& GetName() const { return m_name; }
    /// \brief The field's data type.
    FieldDataType GetDataType() const { return m_type; }
    /// \brief The predefined kind (FIELD_KIND_*).
    int GetKind() const { return m_kind; }
    /// \brief The table holding the field.
    CDBTable* GetTable() const { return m_pTable; }

private:
    friend class CLibGis;
    CField(std::string name, FieldDataType type, int kind, CDBTable* table);
    std::string m_name;
    FieldDataType m_type;
    int m_kind;
    CDBTable* m_pTable;
};

/// \brief The attribute table of a theme: an ordered list of fields.
class CDBTable {
public:
    /// \brief Deletes the fields.
    ~CDBTable();
    CDBTable(const CDBTable&) = delete;
    CDBTable& operator=(const CDBTable&) = delete;
    /// \brief Number of fields.
    int GetNumFields() const { return static_cast<int>(m_fields.size()); }
    /// \brief Field at a position; null when out of range.
    CField* GetField(int index) const;
    /// \brief Position of the field with the given name (ASCII case ignored); -1 when none.
    int FindField(const std::string& name) const;
    /// \brief The theme owning the table.
    CTheme* GetTheme() const { return m_pTheme; }

private:
    friend class CLibGis;
    friend class CTheme;
    explicit CDBTable(CTheme* theme);
    std::vector<std::unique_ptr<CField>> m_fields;
    // Position of each field by its name in ASCII lower case: a look-up by name takes constant
    // time however many fields the table has.
    std::unordered_map<std::string, int> m_fieldByName;
    CTheme* m_pTheme;
};

/// \brief A vertex of an entity part: a position (x East, y North, z height).
///
/// A vertex knows its part and entity, and the survey elements linked to it
/// (CEgn::SetEntVert); when the vertex goes away the elements are unlinked.
class CEntVert {
public:
    /// \brief Unlinks the survey elements linked to the vertex.
    ~CEntVert();
    CEntVert(const CEntVert&) = delete;
    CEntVert& operator=(const CEntVert&) = delete;
    /// \brief The position.
    const kit::geom::PNT_3D& GetCoord() const { return m_pos; }
    /// \brief The part holding the vertex.
    CEntPart* GetPart() const { return m_pPart; }
    /// \brief The entity holding the vertex.
    CEnt* GetEnt() const;
    /// \brief The survey elements linked to the vertex.
    const std::vector<CEgn*>& GetLinkedElements() const { return m_linked; }

private:
    friend class CLibGis;
    friend class CEntPart;
    friend class ::CEgn;
    CEntVert(CEntPart* part, const kit::geom::PNT_3D& pos);
    CEntPart* m_pPart;
    kit::geom::PNT_3D m_pos;
    std::vector<CEgn*> m_linked;
};

/// \brief A part of an entity: an ordered list of vertices.
class CEntPart {
public:
    /// \brief Deletes the vertices.
    ~CEntPart();
    CEntPart(const CEntPart&) = delete;
    CEntPart& operator=(const CEntPart&) = delete;
    /// \brief Number of vertices.
    int GetNumVerts() const { return static_cast<int>(m_verts.size()); }
    /// \brief The entity holding the part.
    CEnt* GetEnt() const { return m_pEnt; }

private:
    friend class CLibGis;
    friend class CEntVert;
    explicit CEntPart(CEnt* ent);
    CEnt* m_pEnt;
    std::vector<std::unique_ptr<CEntVert>> m_verts;
};

/// \brief An entity of a theme: parts of vertices and a row of attribute values whose
/// column i is field i of the theme's table.
class CEnt {
public:
    /// \brief Deletes the parts and the row.
    ~CEnt();
    CEnt(const CEnt&) = delete;
    CEnt& operator=(const CEnt&) = delete;
    /// \brief The theme holding the entity.
    CTheme* GetTheme() const { return m_pTheme; }
    /// \brief Number of parts.
    int GetNumParts() const { return static_cast<int>(m_parts.size()); }
    /// \brief True when the entity was changed with the modified mark since it was made or
    /// since the host cleared the mark.
    bool IsModified() const { return m_bModified; }

private:
    friend class CLibGis;
    explicit CEnt(CTheme* theme);
    CTheme* m_pTheme;
    std::vector<std::unique_ptr<CEntPart>> m_parts;
    kit::CResultRow m_row;
    bool m_bModified;
};

/// \brief A theme: name, entity type, attribute table and entities.
class CTheme {
public:
    /// \brief Deletes the entities and the table.
    ~CTheme();
    CTheme(const CTheme&) = delete;
    CTheme& operator=(const CTheme&) = delete;
    /// \brief The theme's name.
    const kit::String& GetName() const { return m_name; }
    /// \brief The theme's entity type (ENT_TYPE_*).
    int GetEntType() const { return m_entType; }
    /// \brief Number of entities.
    int GetNumEnts() const { return static_cast<int>(m_ents.size()); }
    /// \brief Entity at a position; null when out of range.
    CEnt* GetEntAt(int index) const;

private:
    friend class CLibGis;
    CTheme(kit::String name, int entType);
    kit::String m_name;
    int m_entType;
    CDBTable m_table;
    std::vector<std::unique_ptr<CEnt>> m_ents;
};

/// \brief The GIS data library: owns the themes, their tables and entities.
///
/// Every operation taking a pointer accepts null and then does nothing and returns null,
/// false, 0 or an empty text.
class CLibGis {
public:
    /// \brief A library without themes.
    CLibGis();
    /// \brief Deletes every theme; linked survey elements are unlinked.
    ~CLibGis();
    CLibGis(const CLibGis&) = delete;
    CLibGis& operator=(const CLibGis&) = delete;

    /// \brief Name of the theme of the entity owning a vertex; empty for null.
    kit::String GetThemeName(CEntVert* vertex) const;
    /// \brief The entity owning a vertex.
    static CEnt* GetEnt(CEntVert* vertex);
    /// \brief The theme of an entity.
    static CTheme* GetTheme(CEnt* ent);
    /// \brief The attribute table of a theme.
    CDBTable* GetTable(CTheme* theme);
    /// \brief The attribute row of an entity; its column i is field i of the theme's table.
    kit::CResultRow* GetRow(CEnt* ent);

    /// \brief A copy of an entity (parts, vertices, row values) made in the given theme.
    ///
    /// When the theme is not the entity's own, the copy's row takes the values of the
    /// same-named fields (ASCII case ignored) that fit their new field.
    /// \return the copy, owned by the library (delete it with DeleteEnt); null for null input
    CEnt* CloneEnt(CTheme* theme, CEnt* ent);
    /// \brief A new point entity (one part, one vertex at the position) in the theme, with
    /// a row of empty values. \return the entity, owned by the library; null for null theme
    CEnt* CreateEntPoint(CTheme* theme, const kit::geom::PNT_3D& position);
    /// \brief Deletes an entity; elements linked to its vertices are unlinked.
    /// \return false when the entity is null or unknown
    bool DeleteEnt(CEnt* ent);

    /// \brief Part index and vertex index of a vertex within an entity.
    /// \return false, both indices set to -1, when the vertex is not in the entity
    bool FindEntVertIndex(CEnt* ent, CEntVert* vertex, int& part, int& vert);
    /// \brief Part of an entity by position; null when out of range.
    CEntPart* GetEntPart(CEnt* ent, int index) const;
    /// \brief Vertex of a part by position; null when out of range.
    CEntVert* GetEntVert(CEntPart* part, int index);
    /// \brief Moves a vertex.
    /// \param markModified true sets the entity's modified mark
    /// \return false for a null vertex
    static bool SetEntVertCoord(CEntVert* vertex, double x, double y, double z, bool markModified);

    /// \brief Number of fields of a table.
    int GetNumFields(CDBTable* table) const;
    /// \brief Field of a table by position; null when out of range.
    CField* GetField(CDBTable* table, int index);
    /// \brief True for a predefined field (kind other than FIELD_KIND_NONE).
    bool IsFieldPredefined(CField* field);
    /// \brief The predefined kind of a field: FIELD_KIND_POINT_NAME (1), FIELD_KIND_POINT_CODE
    /// (2), or FIELD_KIND_NONE (0).
    int GetFieldType(CField* field);

    /// \brief Reads column i of a row. \return false for a null row or an index out of range
    bool GetRowValue(kit::CResultRow* row, int index, kit::CPolyValue& value);
    /// \brief Writes column i of a row, converted to the field's data type.
    /// \param value the value; on success it is replaced by the value as stored
    /// \return false, leaving the row unchanged, when the value does not fit the field's type
    /// (text "abc" into a long field) or the index is out of range
    bool SetRowValue(kit::CResultRow* row, int index, kit::CPolyValue& value);

    /// \brief Number of themes.
    int GetNumThemes() const;
    /// \brief Theme by position; null when out of range.
    CTheme* GetTheme(int index);
    /// \brief Entity type of a theme (ENT_TYPE_*); 0 for null.
    static int GetEntType(CTheme* theme);
    /// \brief Name of a theme; empty for null.
    static kit::String GetThemeName(CTheme* theme);
    /// \brief The theme with exactly this name; null when none.
    CTheme* FindTheme(const kit::String& name);

    // ---- host side ----------------------------------------------------------------------

    /// \brief Host side: creates a theme with an empty table.
    /// \return null when the name is empty or already used
    CTheme* CreateTheme(const kit::String& name, int entType);
    /// \brief Host side: deletes a theme with its entities (linked elements are unlinked).
    bool DeleteTheme(CTheme* theme);
    /// \brief Host side: appends a field to a table; every entity row of the theme gets an
    /// empty value for it.
    /// \return null when the name is empty or already used in the table, or when a predefined
    /// field (kind 1 or 2) is not a text field
    CField* AddField(CDBTable* table, const std::string& name, FieldDataType type,
                     int kind = FIELD_KIND_NONE);
    /// \brief Host side: name of a field; empty for null.
    static std::string GetFieldName(CField* field);
    /// \brief Host side: data type of a field; Text for null.
    static FieldDataType GetFieldDataType(CField* field);
    /// \brief Host side: an entity without parts in the theme, with a row of empty values.
    CEnt* CreateEnt(CTheme* theme);
    /// \brief Host side: appends an empty part to an entity.
    CEntPart* AddEntPart(CEnt* ent);
    /// \brief Host side: appends a vertex to a part.
    CEntVert* AddEntVert(CEntPart* part, const kit::geom::PNT_3D& position);
    /// \brief Host side: writes \p text into every field of predefined kind \p kind of the
    /// entity's row. The survey elements call it when their name or code changes, so that
    /// the fields that hold them follow.
    static void SetPredefinedText(CEnt* ent, int kind, const kit::String& text);
    /// \brief Host side: clears an entity's modified mark.
    static void ClearEntModified(CEnt* ent);

private:
    CEnt* NewEnt(CTheme* theme);
    std::vector<std::unique_ptr<CTheme>> m_themes;
    std::unordered_map<std::string, CTheme*> m_themeByName; // a look-up in constant time
};

} // namespace gis
