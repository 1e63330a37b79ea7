// The C interface: each function converts plain C arguments to the module's C++ ones, calls
// the export, and converts back. Nothing of the module's behaviour is decided here.
#include "gpsdialogs/gpsdialogs_c.h"

#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Egn.h"
#include "platform/automation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

struct GpsdUser {
    automation::ScriptedUser user;
};

static_assert(GPSD_IDOK == IDOK && GPSD_IDCANCEL == IDCANCEL && GPSD_IDYES == IDYES &&
              GPSD_IDNO == IDNO);

namespace {

// The host object of a C host: its "Note" is a callback.
class CallbackHost final : public CGestGps {
public:
    CallbackHost(GpsdEditNote editNote, void* context) : m_editNote(editNote), m_context(context) {}
    void EditaNote(CEgn* element) override {
        if (m_editNote != nullptr) m_editNote(m_context, reinterpret_cast<GpsdElement*>(element));
    }

private:
    GpsdEditNote m_editNote;
    void* m_context;
};

// Copies text into a buffer of capacity bytes, cut at a UTF-8 character boundary when it does
// not fit. \return the size the whole text needs, NUL included
std::size_t copyOut(const std::string& text, char* buffer, std::size_t capacity) {
    if (buffer != nullptr && capacity > 0) {
        std::size_t n = std::min(text.size(), capacity - 1);
        if (n < text.size())
            while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
                --n;
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return text.size() + 1;
}

std::string in(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

CCts* cpp(GpsdCts* h) {
    return reinterpret_cast<CCts*>(h);
}
CPunGps* cpp(GpsdPoint* h) {
    return reinterpret_cast<CPunGps*>(h);
}
CLibGps* cpp(GpsdBook* h) {
    return reinterpret_cast<CLibGps*>(h);
}
CGrpGps* cpp(GpsdGroup* h) {
    return reinterpret_cast<CGrpGps*>(h);
}
gis::CLibGis* cpp(GpsdGis* h) {
    return reinterpret_cast<gis::CLibGis*>(h);
}
CDrawEng* cpp(GpsdEngine* h) {
    return reinterpret_cast<CDrawEng*>(h);
}
CGestGps* cpp(GpsdHost* h) {
    return reinterpret_cast<CallbackHost*>(h);
}

void setNeeded(std::size_t* needed, std::size_t size) {
    if (needed != nullptr) *needed = size;
}

// A dialog handle is a number, never an address: it names a dialog only while the handler it
// was given to runs, and a stale or null handle finds nothing instead of freed memory. Numbers
// are never reused, so a handle kept past its handler cannot name a later dialog either.
thread_local std::unordered_map<std::uintptr_t, automation::Dialog*> t_liveDialogs;
thread_local std::uintptr_t t_lastDialog = 0;

automation::Dialog* live(const GpsdDialog* handle) {
    const auto it = t_liveDialogs.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == t_liveDialogs.end() ? nullptr : it->second;
}

} // namespace

extern "C" {

GpsdHost* gpsd_host_new(GpsdEditNote editNote, void* context) {
    return reinterpret_cast<GpsdHost*>(new CallbackHost(editNote, context));
}

void gpsd_host_free(GpsdHost* host) {
    delete reinterpret_cast<CallbackHost*>(host);
}

size_t gpsd_element_note(const GpsdElement* element, char* note, size_t capacity) {
    if (element == nullptr) return copyOut({}, note, capacity);
    return copyOut(reinterpret_cast<const CEgn*>(element)->GetNote(), note, capacity);
}

void gpsd_element_set_note(GpsdElement* element, const char* note) {
    if (element != nullptr) reinterpret_cast<CEgn*>(element)->SetNote(in(note));
}

int gpsd_edit_point(GpsdCts* cts, GpsdPoint* point, GpsdBook* book, GpsdGis* gis, int editCoord,
                    GpsdHost* host, int full) {
    return FDlgModPunGps(cpp(cts), cpp(point), cpp(book), cpp(gis), editCoord != 0, cpp(host),
                         full != 0);
}

int gpsd_find_point(char* text, size_t capacity, size_t* needed, int* inName, int* inCode) {
    if (inName == nullptr || inCode == nullptr) return 0;
    std::string t = text != nullptr && capacity > 0 ? std::string(text) : std::string();
    bool name = *inName != 0, code = *inCode != 0;
    if (!FDlgFindPunGps(t, name, code)) return 0;
    setNeeded(needed, copyOut(t, text, capacity));
    *inName = name;
    *inCode = code;
    return 1;
}

void gpsd_find_data(char* text, size_t capacity, size_t* needed, int* inName, int* inCode) {
    std::string t;
    bool name = false, code = false;
    FDatiFindPunGps(t, name, code);
    setNeeded(needed, copyOut(t, text, capacity));
    if (inName != nullptr) *inName = name;
    if (inCode != nullptr) *inCode = code;
}

int gpsd_show_point(GpsdPoint* point) {
    return FMostraPunGps(cpp(point));
}

int gpsd_show_group(GpsdGroup* group) {
    return FMostraGrpGps(cpp(group));
}

int gpsd_select_groups(GpsdGroup* const* groups, size_t count, GpsdGroup** chosen,
                       size_t* chosenCount) {
    if ((groups == nullptr && count > 0) || chosen == nullptr || chosenCount == nullptr) return 0;
    std::vector<CGrpGps*> all;
    for (size_t i = 0; i < count; ++i)
        all.push_back(cpp(groups[i]));
    std::vector<CGrpGps*> picked;
    if (!FDlgSelGrpLibGps(&all, &picked)) return 0;
    // At most count groups can be chosen among count: the caller's room always suffices.
    *chosenCount = picked.size();
    for (size_t i = 0; i < picked.size() && i < count; ++i)
        chosen[i] = reinterpret_cast<GpsdGroup*>(picked[i]);
    return 1;
}

int gpsd_edit_base(GpsdGroup* group, GpsdHost* host, int full) {
    return FDlgModStazBase(cpp(group), cpp(host), full != 0);
}

void gpsd_move_base(GpsdBook* book, GpsdEngine* engine, int* groupIndex, double* antennaHeight) {
    int index = -1;
    double height = antennaHeight != nullptr ? *antennaHeight : 0.0;
    FDlgOpzSpostaBaseGps(cpp(book), cpp(engine), index, height);
    if (groupIndex != nullptr) *groupIndex = index;
    if (antennaHeight != nullptr) *antennaHeight = height;
}

int gpsd_create_point(GpsdGroup* group, GpsdBook* book, int* groupIndex, char* name,
                      size_t nameCapacity, size_t* nameNeeded, char* description,
                      size_t descriptionCapacity, size_t* descriptionNeeded, double* x, double* y,
                      double* z, double* antennaHeight) {
    if (groupIndex == nullptr || x == nullptr || y == nullptr || z == nullptr ||
        antennaHeight == nullptr)
        return 0;
    std::string n = name != nullptr && nameCapacity > 0 ? std::string(name) : std::string();
    std::string d = description != nullptr && descriptionCapacity > 0 ? std::string(description)
                                                                      : std::string();
    if (!FDlgOpzCreazGps(cpp(group), cpp(book), *groupIndex, n, d, *x, *y, *z, *antennaHeight))
        return 0;
    setNeeded(nameNeeded, copyOut(n, name, nameCapacity));
    setNeeded(descriptionNeeded, copyOut(d, description, descriptionCapacity));
    return 1;
}

int gpsd_transfer_points(GpsdBook* book, int count, int* groupIndex, double* antennaHeight) {
    if (groupIndex == nullptr || antennaHeight == nullptr) return 0;
    return FDlgOpzTrasfPtGps(cpp(book), count, *groupIndex, *antennaHeight);
}

int gpsd_export_layout(void) {
    return FSelDatiFile();
}

int gpsd_export_file(char* name, size_t capacity, size_t* needed) {
    std::string n = name != nullptr && capacity > 0 ? std::string(name) : std::string();
    const bool ok = FInpNomeFileAsciiLibGps(n);
    setNeeded(needed, copyOut(n, name, capacity));
    return ok;
}

int gpsd_import_file(char* name, size_t capacity, size_t* needed, int* format) {
    std::string n;
    int f = 1;
    const bool ok = FInpNomeFileConvGpsVari(n, f);
    if (format != nullptr) *format = f;
    if (ok) setNeeded(needed, copyOut(n, name, capacity));
    return ok;
}

GpsdUser* gpsd_user_new(void) {
    return new GpsdUser;
}

void gpsd_user_free(GpsdUser* user) {
    delete user;
}

void gpsd_user_on_dialog(GpsdUser* user, GpsdDialogHandler handler, void* context) {
    if (user == nullptr) return;
    user->user.onDialog([handler, context](automation::Dialog& d) {
        const std::uintptr_t id = ++t_lastDialog;
        t_liveDialogs.emplace(id, &d);
        struct Expire {
            std::uintptr_t id;
            ~Expire() { t_liveDialogs.erase(id); }
        } expire{id};
        if (handler != nullptr) handler(reinterpret_cast<GpsdDialog*>(id), context);
    });
}

void gpsd_user_on_message_box(GpsdUser* user, GpsdMessageBoxHandler handler, void* context) {
    if (user == nullptr) return;
    user->user.onMessageBox([handler, context](const automation::MessageBoxCall& m) {
        return handler != nullptr ? handler(m.text.c_str(), m.caption.c_str(), m.type, context)
                                  : IDOK;
    });
}

int gpsd_user_message_boxes(const GpsdUser* user) {
    return user != nullptr ? static_cast<int>(user->user.messageBoxes().size()) : 0;
}

int gpsd_user_beeps(const GpsdUser* user) {
    return user != nullptr ? user->user.beeps() : 0;
}

int gpsd_user_unexpected(const GpsdUser* user) {
    return user != nullptr ? user->user.unexpected() : 0;
}

int gpsd_dialog_template(const GpsdDialog* dialog) {
    automation::Dialog* d = live(dialog);
    return d != nullptr ? d->templateId() : 0;
}

size_t gpsd_dialog_caption(const GpsdDialog* dialog, char* text, size_t capacity) {
    automation::Dialog* d = live(dialog);
    return copyOut(d != nullptr ? d->caption() : std::string(), text, capacity);
}

size_t gpsd_dialog_text(const GpsdDialog* dialog, int id, char* text, size_t capacity) {
    automation::Dialog* d = live(dialog);
    return copyOut(d != nullptr ? d->text(id) : std::string(), text, capacity);
}

int gpsd_dialog_checked(const GpsdDialog* dialog, int id) {
    automation::Dialog* d = live(dialog);
    return d != nullptr ? d->checked(id) : 0;
}

int gpsd_dialog_enabled(const GpsdDialog* dialog, int id) {
    automation::Dialog* d = live(dialog);
    return d != nullptr ? d->enabled(id) : 0;
}

int gpsd_dialog_selection(const GpsdDialog* dialog, int id) {
    automation::Dialog* d = live(dialog);
    return d != nullptr ? d->selection(id) : -1;
}

int gpsd_dialog_active_page(const GpsdDialog* dialog) {
    automation::Dialog* d = live(dialog);
    return d != nullptr ? d->activePage() : -1;
}

int gpsd_dialog_set_text(GpsdDialog* dialog, int id, const char* text) {
    automation::Dialog* d = live(dialog);
    return d != nullptr && d->setText(id, in(text));
}

int gpsd_dialog_type(GpsdDialog* dialog, int id, const char* keys) {
    automation::Dialog* d = live(dialog);
    return d != nullptr && d->type(id, in(keys));
}

int gpsd_dialog_click(GpsdDialog* dialog, int id) {
    automation::Dialog* d = live(dialog);
    return d != nullptr && d->click(id);
}

int gpsd_dialog_select(GpsdDialog* dialog, int id, int index) {
    automation::Dialog* d = live(dialog);
    return d != nullptr && d->select(id, index);
}

int gpsd_dialog_select_page(GpsdDialog* dialog, int index) {
    automation::Dialog* d = live(dialog);
    return d != nullptr && d->selectPage(index);
}

int gpsd_dialog_enter(GpsdDialog* dialog) {
    automation::Dialog* d = live(dialog);
    return d != nullptr && d->enter();
}

int gpsd_dialog_escape(GpsdDialog* dialog) {
    automation::Dialog* d = live(dialog);
    return d != nullptr && d->escape();
}

} // extern "C"
