// The GPS field-book dialogs: what a host calls.
//
// Every function that shows a dialog makes the module's resources current for exactly the
// length of the call, runs the dialog modally with no parent window, and writes results back
// only when the user confirmed. The data objects passed in belong to the caller.
#pragma once

#include <string>
#include <vector>

#if defined(_WIN32) && defined(GPSDIALOGS_BUILDING)
#define GPSDIALOGS_API __declspec(dllexport)
#elif defined(_WIN32)
#define GPSDIALOGS_API __declspec(dllimport)
#elif defined(GPSDIALOGS_BUILDING)
#define GPSDIALOGS_API __attribute__((visibility("default")))
#else
#define GPSDIALOGS_API
#endif

class CCts;
class CDrawEng;
class CEgn;
class CGrpGps;
class CLibGps;
class CPunGps;
namespace gis {
class CLibGis;
}

/// \brief The host object: lets the host edit the note of a survey element.
///
/// The host derives its own class and passes instances to the dialogs that have a "Note"
/// button. The module never owns or deletes a host object.
class GPSDIALOGS_API CGestGps {
public:
    CGestGps();
    CGestGps(const CGestGps& other);
    CGestGps& operator=(const CGestGps& other);

    /// \brief Lets the user edit the note of \p element (CEgn::GetNote / SetNote). Called only
    ///        when the user presses a "Note" button; it must return.
    virtual void EditaNote(CEgn* element) = 0;

protected:
    ~CGestGps() = default;
};

/// \brief Opens the point editor ("Modifica punto GPS") on \p point, a point of \p lib.
///
/// The editor works on a copy of the point; the point changes only when the user confirms.
/// \param cts the host context (its survey row decides whether NE may be changed)
/// \param point the point to edit; it must have its owning group
/// \param lib the field book that holds the point
/// \param gis the GIS library of the point's attributes
/// \param editCoord false: the coordinates of the point-data pages are read-only
/// \param host the host object for "Note"; may be null
/// \param full false: correction-declaration mode ("Note" disabled, its own title)
/// \return true after "&OK": the point then holds the edited values, and the page that was
///         active is remembered for the next opening; false writes nothing, also when
///         \p cts, \p point, \p lib or \p gis is null or the point has no group
GPSDIALOGS_API bool FDlgModPunGps(CCts* cts, CPunGps* point, CLibGps* lib, gis::CLibGis* gis,
                                  bool editCoord, CGestGps* host, bool full);

/// \brief Asks for a search text and where to look for it ("Ricerca").
/// \param text proposed text (used only until a search has been confirmed); on true the text
///        the user confirmed, which becomes the remembered search
/// \param inName on true: search in the point names
/// \param inCode on true: search in the codes and comments
/// \return true when the user pressed "&Successivo"; false leaves every argument unchanged
GPSDIALOGS_API bool FDlgFindPunGps(std::string& text, bool& inName, bool& inCode);

/// \brief Hands back the remembered search without showing anything (before the first
///        confirmed search: empty text, in name, not in code).
GPSDIALOGS_API void FDatiFindPunGps(std::string& text, bool& inName, bool& inCode);

/// \brief Shows the name, code, group and plane coordinates of \p point.
/// \return true after "&OK"
GPSDIALOGS_API bool FMostraPunGps(CPunGps* point);

/// \brief Shows the base station of \p group: station name, group name, plane coordinates.
/// \return true after "&OK"
GPSDIALOGS_API bool FMostraGrpGps(CGrpGps* group);

/// \brief Lets the user choose the groups to print among \p groups.
/// \param chosen on true: emptied, then filled with the selected groups in list order
/// \return true after "&Stampa..." (also with nothing selected); false leaves \p chosen alone
GPSDIALOGS_API bool FDlgSelGrpLibGps(std::vector<CGrpGps*>* groups, std::vector<CGrpGps*>* chosen);

// ---- base station and point creation ---------------------------------------------------------

/// \brief Opens the base station editor ("Punto iniziale di baseline") on \p group.
///
/// The editor works on the group itself: its known-network box and "Note" change the group at
/// once ("Annulla" then puts back the note and the description); "OK" writes the station's
/// name, description, antenna height, geocentric position (only when one of its fields was
/// retyped), receiver and survey type, PDOP and GDOP, and recomputes the station's plane
/// position when the group has a computed projection. Enter and Escape do not close it.
/// \param group the group to edit
/// \param host the host object for "Note"; may be null
/// \param full false: correction-declaration mode ("Note" disabled, its own title)
/// \return true after "OK"; false after "Annulla", or when \p group is null
GPSDIALOGS_API bool FDlgModStazBase(CGrpGps* group, CGestGps* host, bool full);

/// \brief Asks for the base station to move ("Sposta base GPS") among the groups of \p lib
///        whose drawing \p eng does not lock, and for its antenna height.
/// \param eng the CAD engine that knows the locked drawings (null: none is locked)
/// \param grpIndex always written: the chosen group's position in \p lib after
///        "&Continua...", -1 after "Annulla" or when there was nothing to choose
/// \param antHeight the typed antenna height (meaningful only when \p grpIndex is not -1)
GPSDIALOGS_API void FDlgOpzSpostaBaseGps(CLibGps* lib, CDrawEng* eng, int& grpIndex,
                                         double& antHeight);

/// \brief Asks for the options of a new GPS point ("Creazione punti GPS").
///
/// Proposes the caller's name, or with "Assegna il nome automaticamente" (remembered as soon
/// as it is clicked) the next free number of the chosen group. The antenna height is the one
/// remembered by this dialog and by FDlgOpzTrasfPtGps.
/// \param group unused beyond the opening: the first group of \p lib is selected
/// \param lib the field book
/// \param grpIndex on true: the chosen group's position (a group with a computed projection)
/// \param name, descr proposed; on true the confirmed name (not empty) and description
/// \param x, y, z East, North, height proposed; on true each is replaced only when the
///        confirmed value differs from it by more than 0.001
/// \param antHeight on true: the antenna height, which is also remembered
/// \return true after "&Crea"; false writes nothing, also when \p lib is null
GPSDIALOGS_API bool FDlgOpzCreazGps(CGrpGps* group, CLibGps* lib, int& grpIndex, std::string& name,
                                    std::string& descr, double& x, double& y, double& z,
                                    double& antHeight);

/// \brief Asks for the group and antenna height of \p count drawn points to transfer into
///        the field book ("Trasformazione in punti GPS").
/// \param grpIndex on true: the chosen group's position (a group with a computed projection)
/// \param antHeight on true: the antenna height, which is also remembered (shared with
///        FDlgOpzCreazGps)
/// \return true after "&Trasferisci"; false leaves both untouched, also when \p lib is null
GPSDIALOGS_API bool FDlgOpzTrasfPtGps(CLibGps* lib, int count, int& grpIndex, double& antHeight);

// --- Field-book exchange -----------------------------------------------------------------------

/// \brief Lets the user choose the layout of the ASCII field-book export ("Selezione campi"):
///        the fields and their order, the decimals of each, the angle format, the separator and
///        the quotes around names.
///
/// The layout is read from the settings file, section "FILE ASCI", when the dialog opens, and
/// written back whole on OK ("CoordFormat", "Separator", "Apici", "NumCampi", "Campo-%d",
/// "nDecCampo-%d"). A "NumCampi" above 1000 is read as 1000.
/// \return true after "OK"; false writes nothing
GPSDIALOGS_API bool FSelDatiFile();

/// \brief Asks for the ASCII field-book file to write ("CREA FILE LIBRETTO PUNTI GPS").
///
/// The dialog opens in the folder of the last remembered file and proposes \p name (its file
/// name only; "doc" when empty) with ".txt", unless it already ends so.
/// \param name in: the proposed name; out on true: the full chosen path, also remembered in
///        "PERSIST"/"LastExportedLibrettoLBC"; out on false: the bare proposed name
/// \return true when the user chose a file (after confirming the replacement of an existing
///         one)
GPSDIALOGS_API bool FInpNomeFileAsciiLibGps(std::string& name);

/// \brief Asks for a receiver's or survey program's file to import ("Importazione File") and
///        for its format, among twelve.
///
/// The format shown first is the last one confirmed ("PERSIST"/"GpsVari"); the dialog opens
/// in the folder of the last remembered file.
/// \param name out on true: the full path of the chosen file (its incoming value is not used)
/// \param format out: the format code of the filter in use, 1 to 12 (1 on false)
/// \return true when the user chose an existing file; "LastImportedFileGps" and "GpsVari" are
///         then remembered
GPSDIALOGS_API bool FInpNomeFileConvGpsVari(std::string& name, int& format);
