/* The GPS field-book dialogs for hosts built with any compiler: a C interface over the
 * module's exported functions, and over the automation API for hosts that test their own
 * integration.
 *
 * Texts are UTF-8, NUL-terminated. A text handed back goes into the caller's buffer of
 * `capacity` bytes, NUL included: when it does not fit, it is cut at a character boundary
 * and the return value (or `*needed`) tells the size it needs, NUL included. The host's
 * objects (field book, points, groups, GIS library, CAD engine, host context, survey
 * elements) are opaque handles that the host's own libraries hand out; this interface never
 * creates, owns or frees them. Booleans are ints: 0 false, anything else true. */
#ifndef GPSDIALOGS_C_H
#define GPSDIALOGS_C_H

#include <stddef.h>

#if defined(_WIN32) && defined(GPSDIALOGS_C_BUILDING)
#define GPSD_API __declspec(dllexport)
#elif defined(_WIN32)
#define GPSD_API __declspec(dllimport)
#elif defined(GPSDIALOGS_C_BUILDING)
#define GPSD_API __attribute__((visibility("default")))
#else
#define GPSD_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct GpsdCts GpsdCts;         /* host context (CCts) */
typedef struct GpsdBook GpsdBook;       /* field book (CLibGps) */
typedef struct GpsdGroup GpsdGroup;     /* group of points (CGrpGps) */
typedef struct GpsdPoint GpsdPoint;     /* point (CPunGps) */
typedef struct GpsdGis GpsdGis;         /* GIS library (gis::CLibGis) */
typedef struct GpsdEngine GpsdEngine;   /* CAD engine (CDrawEng) */
typedef struct GpsdElement GpsdElement; /* survey element with a note (CEgn) */
typedef struct GpsdHost GpsdHost;       /* host object for "Note" (CGestGps) */

/* --- The host object ------------------------------------------------------------------ */

/** Called when the user presses a "Note" button; it must return. */
typedef void (*GpsdEditNote)(void* context, GpsdElement* element);

/** A host object that calls `editNote` with `context`; free it with gpsd_host_free. */
GPSD_API GpsdHost* gpsd_host_new(GpsdEditNote editNote, void* context);
GPSD_API void gpsd_host_free(GpsdHost* host);
/** The note of a survey element: its size with NUL; see the buffer rule above. */
GPSD_API size_t gpsd_element_note(const GpsdElement* element, char* note, size_t capacity);
GPSD_API void gpsd_element_set_note(GpsdElement* element, const char* note);

/* --- The exported functions, one for one ------------------------------------------------ */

/** FDlgModPunGps: the point editor. 1 after "&OK" (the point holds the edited values). */
GPSD_API int gpsd_edit_point(GpsdCts* cts, GpsdPoint* point, GpsdBook* book, GpsdGis* gis,
                             int editCoord, GpsdHost* host, int full);
/** FDlgFindPunGps: "Ricerca". `text` proposes, and on 1 holds the confirmed text. */
GPSD_API int gpsd_find_point(char* text, size_t capacity, size_t* needed, int* inName, int* inCode);
/** FDatiFindPunGps: the remembered search. */
GPSD_API void gpsd_find_data(char* text, size_t capacity, size_t* needed, int* inName, int* inCode);
/** FMostraPunGps. */
GPSD_API int gpsd_show_point(GpsdPoint* point);
/** FMostraGrpGps. */
GPSD_API int gpsd_show_group(GpsdGroup* group);
/** FDlgSelGrpLibGps: on 1, `chosen` (room for `count`) holds `*chosenCount` groups. */
GPSD_API int gpsd_select_groups(GpsdGroup* const* groups, size_t count, GpsdGroup** chosen,
                                size_t* chosenCount);
/** FDlgModStazBase: the base station editor. */
GPSD_API int gpsd_edit_base(GpsdGroup* group, GpsdHost* host, int full);
/** FDlgOpzSpostaBaseGps: `*groupIndex` -1 when cancelled. */
GPSD_API void gpsd_move_base(GpsdBook* book, GpsdEngine* engine, int* groupIndex,
                             double* antennaHeight);
/** FDlgOpzCreazGps: `name` and `description` are in/out buffers of the given capacities; on 1
 * `*nameNeeded` and `*descriptionNeeded` (each may be NULL) tell the sizes the texts need, as
 * the buffer rule above says. */
GPSD_API int gpsd_create_point(GpsdGroup* group, GpsdBook* book, int* groupIndex, char* name,
                               size_t nameCapacity, size_t* nameNeeded, char* description,
                               size_t descriptionCapacity, size_t* descriptionNeeded, double* x,
                               double* y, double* z, double* antennaHeight);
/** FDlgOpzTrasfPtGps. */
GPSD_API int gpsd_transfer_points(GpsdBook* book, int count, int* groupIndex,
                                  double* antennaHeight);
/** FSelDatiFile: the ASCII export layout. */
GPSD_API int gpsd_export_layout(void);
/** FInpNomeFileAsciiLibGps: `name` in/out. */
GPSD_API int gpsd_export_file(char* name, size_t capacity, size_t* needed);
/** FInpNomeFileConvGpsVari: `name` out, `*format` 1 to 12. */
GPSD_API int gpsd_import_file(char* name, size_t capacity, size_t* needed, int* format);

/* --- Acting as the user (automation) ---------------------------------------------------- */

/* The standard command ids: the OK and Cancel buttons of every dialog, and the answers of
 * message boxes (the system's values). */
#define GPSD_IDOK 1
#define GPSD_IDCANCEL 2
#define GPSD_IDYES 6
#define GPSD_IDNO 7

typedef struct GpsdUser GpsdUser;     /* answers every modal run while it lives */
typedef struct GpsdDialog GpsdDialog; /* a dialog being answered */

typedef void (*GpsdDialogHandler)(GpsdDialog* dialog, void* context);
/** Returns the IDOK/IDCANCEL/IDYES/... that closes the message box. */
typedef int (*GpsdMessageBoxHandler)(const char* text, const char* caption, unsigned type,
                                     void* context);

/** A scripted user; only the most recent living one answers. Users may be freed in any
 * order: a freed user stops answering, and the most recent of those still living answers. */
GPSD_API GpsdUser* gpsd_user_new(void);
GPSD_API void gpsd_user_free(GpsdUser* user);
/** Queues the handler of the next modal dialog. */
GPSD_API void gpsd_user_on_dialog(GpsdUser* user, GpsdDialogHandler handler, void* context);
/** Queues the handler of the next message box. */
GPSD_API void gpsd_user_on_message_box(GpsdUser* user, GpsdMessageBoxHandler handler,
                                       void* context);
GPSD_API int gpsd_user_message_boxes(const GpsdUser* user);
GPSD_API int gpsd_user_beeps(const GpsdUser* user);
/** Dialogs left open by their handler, runs without a handler, and the like. */
GPSD_API int gpsd_user_unexpected(const GpsdUser* user);

/* A dialog handle is valid only while the handler it was given to runs; its dialog is gone
 * once the handler returns, so keep no handle beyond it. A null handle, or one kept past its
 * handler, names no dialog: the functions below then do nothing and give 0 (-1 for
 * selection and active page, the empty text for texts). */
GPSD_API int gpsd_dialog_template(const GpsdDialog* dialog);
GPSD_API size_t gpsd_dialog_caption(const GpsdDialog* dialog, char* text, size_t capacity);
GPSD_API size_t gpsd_dialog_text(const GpsdDialog* dialog, int id, char* text, size_t capacity);
GPSD_API int gpsd_dialog_checked(const GpsdDialog* dialog, int id);
GPSD_API int gpsd_dialog_enabled(const GpsdDialog* dialog, int id);
GPSD_API int gpsd_dialog_selection(const GpsdDialog* dialog, int id);
GPSD_API int gpsd_dialog_active_page(const GpsdDialog* dialog);
/* Acting: each returns 0, and does nothing, when a person could not do it. */
GPSD_API int gpsd_dialog_set_text(GpsdDialog* dialog, int id, const char* text);
GPSD_API int gpsd_dialog_type(GpsdDialog* dialog, int id, const char* keys);
GPSD_API int gpsd_dialog_click(GpsdDialog* dialog, int id);
GPSD_API int gpsd_dialog_select(GpsdDialog* dialog, int id, int index);
GPSD_API int gpsd_dialog_select_page(GpsdDialog* dialog, int index);
GPSD_API int gpsd_dialog_enter(GpsdDialog* dialog);
GPSD_API int gpsd_dialog_escape(GpsdDialog* dialog);

#ifdef __cplusplus
}
#endif

#endif /* GPSDIALOGS_C_H */
