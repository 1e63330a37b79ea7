// The host's survey element library: the survey element from which GPS points and groups
// derive, the graphic-model options, and the link between an element and the GIS data.
#pragma once

#include "gpsdialogs/interfaces/Kit.h"

#include <memory>
#include <string>
#include <vector>

namespace gis {
class CLibGis;
class CEntVert;
} // namespace gis

/// \brief The no-value marker: a double of the data objects holding it has no value.
inline constexpr double EGN_NOVALUE = 1.7e200;
/// \brief A double of the data objects is defined when it is strictly below this limit.
inline constexpr double EGN_NOVALUE_LIMIT = 8.5e199;

/// \brief True when v is defined: strictly below EGN_NOVALUE_LIMIT (NaN is not defined).
bool IsEgnValueDefined(double v);

/// \brief Bits of the thirteen survey codes, as CEgn::GetCodeMask gives them.
enum EgnCodeBits : unsigned {
    EGN_CODE_OR = 1u << 0,  ///< orientation
    EGN_CODE_QU = 1u << 1,  ///< height
    EGN_CODE_OC = 1u << 2,  ///< orientation created
    EGN_CODE_NC = 1u << 3,  ///< no contours
    EGN_CODE_CL = 1u << 4,  ///< close line
    EGN_CODE_NT = 1u << 5,  ///< no terrain
    EGN_CODE_LD = 1u << 6,  ///< line by description
    EGN_CODE_FL = 1u << 7,  ///< end of line
    EGN_CODE_NP = 1u << 8,  ///< not for the cadastral update
    EGN_CODE_NE = 1u << 9,  ///< no processing
    EGN_CODE_IL = 1u << 10, ///< start of line
    EGN_CODE_NV = 1u << 11, ///< not shown
    EGN_CODE_NL = 1u << 12, ///< no line
    EGN_CODE_ALL = (1u << 13) - 1
};

/// \brief A survey element: name, description, note, graphic model, plane coordinates
/// (X East, Y North, Z height), statistical error data, thirteen survey codes and an optional
/// link to a vertex of a GIS entity.
///
/// A new element has empty texts, no codes, no GIS link and every double at EGN_NOVALUE.
/// Elements are not copyable: they are identified by address (field book, GIS links).
class CEgn {
public:
    /// \brief An empty element.
    CEgn();
    /// \brief Drops the element's GIS link.
    virtual ~CEgn();
    CEgn(const CEgn&) = delete;
    CEgn& operator=(const CEgn&) = delete;

    /// \brief The name.
    const std::string& GetNome() const;
    /// \brief Sets the name; the predefined name fields of a linked GIS entity follow.
    virtual void SetNome(const std::string& name);
    /// \brief The description.
    const std::string& GetSecScri() const;
    /// \brief Sets the description; the predefined code fields of a linked GIS entity follow.
    virtual void SetSecScri(const std::string& description);
    /// \brief The note.
    std::string GetNote() const;
    /// \brief Sets the note.
    void SetNote(const std::string& note);
    /// \brief The name of the graphic model (empty: none).
    std::string GetAttribDis() const;
    /// \brief Sets the name of the graphic model.
    void SetAttribDis(const std::string& model);

    /// \brief Plane X (East).
    double GetCoordX() const;
    /// \brief Plane Y (North).
    double GetCoordY() const;
    /// \brief Plane Z (height).
    double GetCoordZ() const;
    /// \brief Sets plane X (East) and Y (North) together; a linked GIS vertex follows when
    /// both are defined.
    void SetCoordXY(double x, double y);
    /// \brief Sets plane Z (height); a linked GIS vertex follows when it is defined.
    void SetCoordZ(double z);
    /// \brief Clears the plane coordinates (X, Y, Z become EGN_NOVALUE).
    void AnnullaCoor();

    /// \brief The six statistical error values.
    /// \return true when at least one of them is defined
    bool GetDatiErrStat(double& e1, double& e2, double& e3, double& e4, double& e5,
                        double& e6) const;
    /// \brief Sets the six statistical error values (EGN_NOVALUE clears one).
    /// \return always true
    bool SetDatiErrStat(double e1, double e2, double e3, double e4, double e5, double e6);

    /// \brief Code OR (orientation).
    bool IsCodedOR() const;
    /// \brief Code QU (height).
    bool IsCodedQU() const;
    /// \brief Code OC (orientation created).
    bool IsCodedOC() const;
    /// \brief Code NC (no contours).
    bool IsCodedNC() const;
    /// \brief Code CL (close line).
    bool IsCodedCL() const;
    /// \brief Code NT (no terrain).
    bool IsCodedNT() const;
    /// \brief Code LD (line by description).
    bool IsCodedLD() const;
    /// \brief Code FL (end of line).
    bool IsCodedFL() const;
    /// \brief Code NP.
    bool IsCodedNP() const;
    /// \brief Code NE (no processing).
    bool IsCodedNE() const;
    /// \brief Code IL (start of line).
    bool IsCodedIL() const;
    /// \brief Code NV (not shown).
    bool IsCodedNV() const;
    /// \brief Code NL (no line).
    bool IsCodedNL() const;

    /// \brief Sets or clears code OR.
    void SetCodeOR(bool on);
    /// \brief Sets or clears code QU.
    void SetCodeQU(bool on);
    /// \brief Sets or clears code OC.
    void SetCodeOC(bool on);
    /// \brief Sets or clears code NC.
    void SetCodeNC(bool on);
    /// \brief Sets or clears code CL.
    void SetCodeCL(bool on);
    /// \brief Sets or clears code NT.
    void SetCodeNT(bool on);
    /// \brief Sets or clears code LD.
    void SetCodeLD(bool on);
    /// \brief Sets or clears code FL.
    void SetCodeFL(bool on);
    /// \brief Sets or clears code NP.
    void SetCodeNP(bool on);
    /// \brief Sets or clears code NE.
    void SetCodeNE(bool on);
    /// \brief Sets or clears code IL.
    void SetCodeIL(bool on);
    /// \brief Sets or clears code NV.
    void SetCodeNV(bool on);
    /// \brief Sets or clears code NL.
    void SetCodeNL(bool on);

    /// \brief The GIS vertex the element is linked to; null when it has none.
    gis::CEntVert* GetEntVert() const;

    // ---- host side ----------------------------------------------------------------------

    /// \brief Host side: links the element to a GIS vertex (null: unlinks). The vertex
    /// knows its linked elements; deleting its entity unlinks them.
    void SetEntVert(gis::CEntVert* vertex);
    /// \brief Host side: all thirteen codes as EgnCodeBits.
    unsigned GetCodeMask() const;
    /// \brief Host side: sets all thirteen codes from EgnCodeBits (other bits ignored).
    void SetCodeMask(unsigned mask);

private:
    friend class gis::CEntVert;
    void ForgetEntVert(const gis::CEntVert* vertex);
    bool HasCodeBit(unsigned bit) const;
    void SetCodeBit(unsigned bit, bool on);

    std::string m_strNome;
    std::string m_strSecScri;
    std::string m_strNote;
    std::string m_strAttribDis;
    double m_dX;
    double m_dY;
    double m_dZ;
    double m_dErrStat[6];
    unsigned m_uCodes;
    gis::CEntVert* m_pEntVert;
};

/// \brief One graphic-model option: a model name the user can give an element.
class COpzDisEgn {
public:
    /// \brief An option with the given model name.
    explicit COpzDisEgn(std::string name);
    /// \brief The model name.
    const std::string& GetNomeOpz() const;
    /// \brief Host side: renames the option.
    void SetNomeOpz(const std::string& name);

private:
    std::string m_strNome;
};

/// \brief The ordered list of graphic-model options of a field book.
class COpzListDisEgn {
public:
    /// \brief An empty list.
    COpzListDisEgn();
    /// \brief Deletes the options.
    ~COpzListDisEgn();
    COpzListDisEgn(const COpzListDisEgn&) = delete;
    COpzListDisEgn& operator=(const COpzListDisEgn&) = delete;

    /// \brief Number of options.
    int GetNuOpzCom() const;
    /// \brief The option at a position (0 first); null for a position out of range.
    COpzDisEgn* GetOpzCom(int index) const;

    /// \brief Host side: appends an option and returns it.
    COpzDisEgn* AddOpzCom(const std::string& name);
    /// \brief Host side: removes the option at a position. \return false when out of range
    bool RemoveOpzCom(int index);
    /// \brief Host side: removes every option.
    void Clear();

private:
    std::vector<std::unique_ptr<COpzDisEgn>> m_opz;
};

/// \brief Brings an element's GIS entity in line with the named theme.
///
/// - Known theme, element without GIS entity: a point entity (one part, one vertex) is
///   created in the theme at the element's X, Y, Z, its predefined fields of kind 1 and 2
///   receive the element's name and description, and the element is linked to its vertex.
/// - Known theme, element's entity already in that theme: nothing changes.
/// - Known theme, element's entity in another theme: a new point entity of the named theme
///   is created at the element's X, Y, Z (at the old vertex's position when X or Y is
///   undefined); every field of the new table whose name matches a field of the old table
///   (ASCII case ignored) and whose value fits receives the old value; the predefined fields
///   then receive the name and description; the element is linked to the new vertex and the
///   old entity is removed as below.
/// - Empty or unknown theme name (exact comparison): the element is unlinked and its old
///   entity deleted.
/// The old entity is deleted only when no other element is linked to one of its vertices;
/// otherwise the element is only unlinked from it.
/// \param lib the GIS library
/// \param egn the element
/// \param themeName the theme to bring the entity in line with
/// \return false when lib or egn is null or the entity could not be created
bool CheckCodeIsTable(gis::CLibGis* lib, CEgn* egn, const kit::String& themeName);
