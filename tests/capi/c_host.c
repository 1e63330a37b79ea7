/* A host written in C: drives the search and the point editor through gpsdialogs_c.h only,
 * acting as the user with the C automation functions, and checks what it gets back. Exit
 * status 0 when every check holds; each failed check is printed. */
#include "gpsdialogs/gpsdialogs_c.h"
#include "gpsdialogs/resource.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

/* The host's objects (host_objects.cpp stands for the host's own libraries). */
void host_begin(void);
void host_end(void);
GpsdBook* host_book(void);
GpsdPoint* host_first_point(void);
GpsdGroup* host_first_group(void);
GpsdCts* host_cts(void);
GpsdGis* host_gis(void);
const char* host_point_code(GpsdPoint* point);
double host_point_antenna(GpsdPoint* point);

static int failures = 0;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);          \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

/* The user of "Ricerca": looks for "PF" in names and codes. */
static void searchForPf(GpsdDialog* d, void* seen) {
    char caption[64];
    *(int*)seen = gpsd_dialog_template(d);
    CHECK(gpsd_dialog_caption(d, caption, sizeof caption) == strlen("Ricerca") + 1);
    CHECK(strcmp(caption, "Ricerca") == 0);
    CHECK(!gpsd_dialog_enabled(d, GPSD_IDOK)); /* nothing to look for yet */
    CHECK(gpsd_dialog_set_text(d, IDC_FIND_TEXT, "PF"));
    CHECK(gpsd_dialog_enabled(d, GPSD_IDOK));
    if (!gpsd_dialog_checked(d, IDC_FIND_IN_CODE)) CHECK(gpsd_dialog_click(d, IDC_FIND_IN_CODE));
    CHECK(gpsd_dialog_click(d, GPSD_IDOK));
}

static void searchWithAccents(GpsdDialog* d, void* unused) {
    (void)unused;
    CHECK(gpsd_dialog_set_text(d, IDC_FIND_TEXT, "citt\xC3\xA0"));
    CHECK(gpsd_dialog_click(d, GPSD_IDOK));
}

static void cancel(GpsdDialog* d, void* unused) {
    (void)unused;
    CHECK(gpsd_dialog_set_text(d, IDC_FIND_TEXT, "non confermato"));
    CHECK(gpsd_dialog_escape(d));
}

static void search(void) {
    char text[64] = "";
    size_t needed = 0;
    int inName = 0, inCode = 1, seen = 0;
    GpsdUser* user = gpsd_user_new();

    gpsd_find_data(text, sizeof text, &needed, &inName, &inCode);
    CHECK(strcmp(text, "") == 0 && needed == 1 && inName && !inCode);

    gpsd_user_on_dialog(user, searchForPf, &seen);
    CHECK(gpsd_find_point(text, sizeof text, &needed, &inName, &inCode) == 1);
    CHECK(seen == IDD_FIND_PUN);
    CHECK(strcmp(text, "PF") == 0 && needed == 3 && inName && inCode);

    /* Cancelled: every argument stays as it was. */
    gpsd_user_on_dialog(user, cancel, NULL);
    CHECK(gpsd_find_point(text, sizeof text, &needed, &inName, &inCode) == 0);
    CHECK(strcmp(text, "PF") == 0 && inName && inCode);

    /* A buffer too small: cut before the two-byte character, the size needed told. */
    {
        char small[5] = "PF";
        gpsd_user_on_dialog(user, searchWithAccents, NULL);
        CHECK(gpsd_find_point(small, sizeof small, &needed, &inName, &inCode) == 1);
        CHECK(strcmp(small, "citt") == 0);
        CHECK(needed == strlen("citt\xC3\xA0") + 1);
        gpsd_find_data(text, sizeof text, &needed, &inName, &inCode);
        CHECK(strcmp(text, "citt\xC3\xA0") == 0);
    }
    CHECK(gpsd_user_unexpected(user) == 0);
    gpsd_user_free(user);
}

static void newDescription(GpsdDialog* d, void* seen) {
    char text[128];
    *(int*)seen = gpsd_dialog_template(d);
    CHECK(gpsd_dialog_active_page(d) == 0);
    gpsd_dialog_text(d, IDC_DESCRIPTION, text, sizeof text);
    CHECK(strcmp(text, "Spigolo fabbricato") == 0);
    CHECK(gpsd_dialog_set_text(d, IDC_DESCRIPTION, "Spigolo rifatto"));
    CHECK(gpsd_dialog_set_text(d, IDC_ANTENNA_HEIGHT, "1,75"));
    CHECK(gpsd_dialog_click(d, GPSD_IDOK));
}

static void editAndCancel(GpsdDialog* d, void* unused) {
    (void)unused;
    CHECK(gpsd_dialog_set_text(d, IDC_DESCRIPTION, "da non salvare"));
    CHECK(gpsd_dialog_click(d, GPSD_IDCANCEL));
}

static void pointEditor(void) {
    GpsdPoint* point = host_first_point();
    GpsdUser* user = gpsd_user_new();
    int seen = 0;

    gpsd_user_on_dialog(user, editAndCancel, NULL);
    CHECK(gpsd_edit_point(host_cts(), point, host_book(), host_gis(), 1, NULL, 1) == 0);
    CHECK(strcmp(host_point_code(point), "Spigolo fabbricato") == 0);

    gpsd_user_on_dialog(user, newDescription, &seen);
    CHECK(gpsd_edit_point(host_cts(), point, host_book(), host_gis(), 1, NULL, 1) == 1);
    CHECK(seen == IDD_MOD_PUN_GPS);
    CHECK(strcmp(host_point_code(point), "Spigolo rifatto") == 0);
    CHECK(fabs(host_point_antenna(point) - 1.75) < 1e-9);

    /* Missing objects: refused without a dialog. */
    CHECK(gpsd_edit_point(NULL, point, host_book(), host_gis(), 1, NULL, 1) == 0);
    CHECK(gpsd_user_unexpected(user) == 0);
    gpsd_user_free(user);
}

/* Answers a search and hands its handle out, to be used after the handler returned. */
static void searchAndKeepHandle(GpsdDialog* d, void* kept) {
    *(GpsdDialog**)kept = d;
    CHECK(gpsd_dialog_set_text(d, IDC_FIND_TEXT, "B"));
    CHECK(gpsd_dialog_click(d, GPSD_IDOK));
}

static void usersAndHandles(void) {
    char text[64] = "";
    size_t needed = 0;
    int inName = 1, inCode = 0;
    GpsdDialog* kept = NULL;
    GpsdUser* first = gpsd_user_new();
    GpsdUser* middle = gpsd_user_new();
    GpsdUser* last = gpsd_user_new();

    /* Freed out of order: the most recent living user still answers, then the one before. */
    gpsd_user_free(middle);
    gpsd_user_on_dialog(last, searchAndKeepHandle, &kept);
    CHECK(gpsd_find_point(text, sizeof text, &needed, &inName, &inCode) == 1);
    CHECK(strcmp(text, "B") == 0);
    CHECK(gpsd_user_unexpected(last) == 0);
    gpsd_user_free(last);
    gpsd_user_on_dialog(first, searchWithAccents, NULL);
    CHECK(gpsd_find_point(text, sizeof text, &needed, &inName, &inCode) == 1);
    CHECK(strcmp(text, "citt\xC3\xA0") == 0);
    CHECK(gpsd_user_unexpected(first) == 0);

    /* A handle kept past its handler, and a null one, name no dialog. */
    CHECK(kept != NULL);
    CHECK(gpsd_dialog_template(kept) == 0);
    CHECK(gpsd_dialog_click(kept, GPSD_IDOK) == 0);
    CHECK(gpsd_dialog_set_text(kept, IDC_FIND_TEXT, "X") == 0);
    CHECK(gpsd_dialog_selection(kept, IDC_FIND_TEXT) == -1);
    strcpy(text, "junk");
    CHECK(gpsd_dialog_caption(kept, text, sizeof text) == 1 && text[0] == '\0');
    CHECK(gpsd_dialog_template(NULL) == 0);
    CHECK(gpsd_dialog_enabled(NULL, GPSD_IDOK) == 0);
    CHECK(gpsd_dialog_escape(NULL) == 0);
    CHECK(gpsd_dialog_text(NULL, IDC_FIND_TEXT, text, sizeof text) == 1 && text[0] == '\0');
    gpsd_user_free(first);
}

/* Creates a point named beyond the caller's buffer. */
static void longNameAndDescription(GpsdDialog* d, void* unused) {
    (void)unused;
    if (gpsd_dialog_checked(d, IDC_AUTO_NAME)) CHECK(gpsd_dialog_click(d, IDC_AUTO_NAME));
    CHECK(gpsd_dialog_set_text(d, IDC_NEW_POINT_NAME, "Picchetto12"));
    CHECK(gpsd_dialog_set_text(d, IDC_COV_XY, "Spigolo di citt\xC3\xA0"));
    CHECK(gpsd_dialog_click(d, GPSD_IDOK));
}

static void createPoint(void) {
    char name[6] = "";
    char description[16] = "";
    size_t nameNeeded = 0, descriptionNeeded = 0;
    int group = 0;
    double x = 686700.0, y = 4928300.0, z = 50.0, antenna = 2.0;
    GpsdUser* user = gpsd_user_new();
    gpsd_user_on_dialog(user, longNameAndDescription, NULL);
    CHECK(gpsd_create_point(host_first_group(), host_book(), &group, name, sizeof name, &nameNeeded,
                            description, sizeof description, &descriptionNeeded, &x, &y, &z,
                            &antenna) == 1);
    CHECK(strcmp(name, "Picch") == 0 && nameNeeded == strlen("Picchetto12") + 1);
    CHECK(strcmp(description, "Spigolo di citt") == 0);
    CHECK(descriptionNeeded == strlen("Spigolo di citt\xC3\xA0") + 1);
    CHECK(gpsd_user_unexpected(user) == 0);
    gpsd_user_free(user);
}

int main(void) {
    host_begin();
    search();
    pointEditor();
    usersAndHandles();
    createPoint();
    host_end();
    if (failures == 0) printf("c_host: every check held\n");
    return failures == 0 ? 0 : 1;
}
