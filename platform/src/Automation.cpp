#include "platform/automation.h"
#include "platform/dialog.h"
#include "platform/model.h"
#include "platform/propsheet.h"

#include <algorithm>

using platform::ControlKind;
using platform::Window;

namespace automation {

namespace {

thread_local ScriptedUser* g_current = nullptr;

// The dialog's own controls first, then those of the pages that are shown.
Window* findVisibleControl(Window& root, int id) {
    for (const auto& child : root.children())
        if (child->id() == id && child->kind() != ControlKind::Dialog) return child.get();
    for (const auto& child : root.children()) {
        if ((child->kind() == ControlKind::Dialog || child->kind() == ControlKind::Custom) &&
            child->visible())
            if (Window* found = findVisibleControl(*child, id)) return found;
    }
    return nullptr;
}

// The tab control of the first property sheet inside the dialog, or null.
Window* sheetTabs(Window& root) {
    for (const auto& child : root.children()) {
        if (child->kind() == ControlKind::Tab && child->parent() != nullptr &&
            dynamic_cast<CPropertySheet*>(child->parent()->attached()) != nullptr)
            return child.get();
        if (child->kind() == ControlKind::Dialog && child->visible())
            if (Window* found = sheetTabs(*child)) return found;
    }
    return nullptr;
}

bool showsTextLiterally(const Window& w) {
    switch (w.kind()) {
    case ControlKind::Edit:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::ListView:
        return true;
    case ControlKind::Static:
        return (w.style() & SS_NOPREFIX) != 0;
    default:
        return false;
    }
}

std::string shownTextOf(const Window& w) {
    return showsTextLiterally(w) ? w.text() : platform::withoutAccessKeys(w.text());
}

void forceClose(CDialog& dialog) {
    if (dialog.m_hWnd != nullptr) platform::userClose(*dialog.m_hWnd);
    if (dialog.IsModalRunning()) dialog.EndDialog(IDCANCEL);
}

std::string describe(const CDialog& dialog) {
    std::string caption = dialog.m_hWnd != nullptr ? dialog.m_hWnd->text() : std::string();
    return "dialog " + std::to_string(dialog.GetTemplateId()) + " \"" + caption + "\"";
}

} // namespace

// --- Dialog -----------------------------------------------------------------------------------

Dialog::Dialog(CDialog& dialog) : m_dialog(dialog) {}

Window* Dialog::control(int id) const {
    if (m_dialog.m_hWnd == nullptr) return nullptr;
    return findVisibleControl(*m_dialog.m_hWnd, id);
}

std::string Dialog::caption() const {
    return m_dialog.m_hWnd != nullptr ? m_dialog.m_hWnd->text() : "";
}

int Dialog::templateId() const {
    return static_cast<int>(m_dialog.GetTemplateId());
}

bool Dialog::isOpen() const {
    return m_dialog.m_hWnd != nullptr && m_dialog.IsModalRunning();
}

bool Dialog::exists(int id) const {
    return control(id) != nullptr;
}

std::string Dialog::text(int id) const {
    Window* w = control(id);
    return w != nullptr ? w->wrapper()->GetWindowText() : std::string();
}

bool Dialog::checked(int id) const {
    Window* w = control(id);
    return w != nullptr && w->check() == BST_CHECKED;
}

bool Dialog::enabled(int id) const {
    Window* w = control(id);
    return w != nullptr && w->enabled();
}

bool Dialog::readOnly(int id) const {
    Window* w = control(id);
    return w != nullptr && w->readOnly();
}

bool Dialog::visible(int id) const {
    Window* w = control(id);
    return w != nullptr && w->reallyVisible();
}

std::vector<std::string> Dialog::items(int id) const {
    std::vector<std::string> result;
    if (Window* w = control(id))
        for (const platform::Item& item : w->items())
            result.push_back(item.text);
    return result;
}

int Dialog::selection(int id) const {
    Window* w = control(id);
    if (w == nullptr) return -1;
    if (w->kind() == ControlKind::ListView || w->multipleSelection()) {
        std::vector<int> selected = w->selectedIndices();
        return selected.empty() ? -1 : selected.front();
    }
    return w->curSel();
}

std::vector<int> Dialog::selections(int id) const {
    Window* w = control(id);
    return w != nullptr ? w->selectedIndices() : std::vector<int>{};
}

int Dialog::focus() const {
    Window* f = platform::focusWindow();
    if (f == nullptr || m_dialog.m_hWnd == nullptr || !f->isWithin(m_dialog.m_hWnd)) return 0;
    return f->id();
}

std::string Dialog::shownText(int id) const {
    Window* w = control(id);
    return w != nullptr ? shownTextOf(*w) : std::string();
}

std::string Dialog::label(int id) const {
    Window* w = control(id);
    if (w == nullptr) return {};
    switch (w->kind()) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox:
        return shownTextOf(*w);
    default:
        break;
    }
    Window* parent = w->parent();
    if (parent == nullptr) return {};
    const Window* label = nullptr;
    for (const auto& sibling : parent->children()) {
        if (sibling.get() == w) break;
        if (sibling->kind() == ControlKind::Static)
            label = sibling.get();
        else if (sibling->style() & WS_TABSTOP)
            label = nullptr; // a label names the next control only
    }
    return label != nullptr ? shownTextOf(*label) : std::string();
}

RECT Dialog::rect(int id) const {
    Window* w = control(id);
    if (w == nullptr || m_dialog.m_hWnd == nullptr) return RECT{0, 0, 0, 0};
    POINT origin = w->clientOrigin();
    POINT dialogOrigin = m_dialog.m_hWnd->clientOrigin();
    RECT r = w->rect();
    LONG x = origin.x - dialogOrigin.x, y = origin.y - dialogOrigin.y;
    return RECT{x, y, x + r.Width(), y + r.Height()};
}

int Dialog::activePage() const {
    Window* tabs = m_dialog.m_hWnd != nullptr ? sheetTabs(*m_dialog.m_hWnd) : nullptr;
    auto* sheet =
        tabs != nullptr ? dynamic_cast<CPropertySheet*>(tabs->parent()->attached()) : nullptr;
    return sheet != nullptr ? sheet->GetActiveIndex() : -1;
}

bool Dialog::selectPage(int index) {
    Window* tabs = isOpen() ? sheetTabs(*m_dialog.m_hWnd) : nullptr;
    return tabs != nullptr && platform::userSelectTab(*tabs, index);
}

int Dialog::pageCount() const {
    Window* tabs = m_dialog.m_hWnd != nullptr ? sheetTabs(*m_dialog.m_hWnd) : nullptr;
    platform::TabState* state = platform::tabStateOf(tabs);
    return state != nullptr ? static_cast<int>(state->tabs.size()) : 0;
}

std::string Dialog::pageCaption(int index) const {
    Window* tabs = m_dialog.m_hWnd != nullptr ? sheetTabs(*m_dialog.m_hWnd) : nullptr;
    platform::TabState* state = platform::tabStateOf(tabs);
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->tabs.size())) return {};
    return state->tabs[static_cast<size_t>(index)].text;
}

bool Dialog::pressTab(bool backwards) {
    return isOpen() && platform::userTab(*m_dialog.m_hWnd, backwards);
}

bool Dialog::setText(int id, const std::string& text) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userSetText(*w, text);
}

bool Dialog::type(int id, const std::string& keys) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userType(*w, keys);
}

bool Dialog::selectAll(int id) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userSelectText(*w, 0, -1);
}

bool Dialog::putCaret(int id, int position) {
    Window* w = isOpen() ? control(id) : nullptr;
    if (w == nullptr) return false;
    if (position < 0) position = w->textLength();
    return platform::userSelectText(*w, position, position);
}

bool Dialog::selectText(int id, int start, int end) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userSelectText(*w, start, end);
}

bool Dialog::keys(int id, const std::string& keys) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userKeys(*w, keys);
}

bool Dialog::backspace(int id, int times) {
    return keys(id, std::string(static_cast<size_t>(std::max(times, 0)), '\b'));
}

bool Dialog::pressDelete(int id, int times) {
    return keys(id, std::string(static_cast<size_t>(std::max(times, 0)), '\x7f'));
}

std::pair<int, int> Dialog::textSelection(int id) const {
    Window* w = control(id);
    if (w == nullptr || w->kind() != ControlKind::Edit) return {0, 0};
    return {w->selStart(), w->selEnd()};
}

std::string Dialog::selectedText(int id) const {
    Window* w = control(id);
    if (w == nullptr || w->kind() != ControlKind::Edit) return {};
    // Positions count characters; the text is UTF-8.
    const std::string& text = w->text();
    std::string selected;
    int index = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++index;
        if (index > w->selStart() && index <= w->selEnd()) selected += c;
    }
    return selected;
}

Dialog::BalloonTip Dialog::balloon(int id) const {
    Window* w = control(id);
    if (w == nullptr) return {};
    return BalloonTip{w->balloon().title, w->balloon().text};
}

bool Dialog::click(int id) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userClick(*w);
}

bool Dialog::select(int id, int index) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userSelect(*w, index);
}

bool Dialog::doubleClick(int id, int index) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userDoubleClick(*w, index);
}

bool Dialog::moveTo(int id, int index) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userMoveSelection(*w, index);
}

bool Dialog::setFocus(int id) {
    Window* w = isOpen() ? control(id) : nullptr;
    return w != nullptr && platform::userFocus(*w);
}

bool Dialog::enter() {
    return isOpen() && platform::userEnter(*m_dialog.m_hWnd);
}

bool Dialog::escape() {
    return isOpen() && platform::userEscape(*m_dialog.m_hWnd);
}

bool Dialog::close() {
    return isOpen() && platform::userClose(*m_dialog.m_hWnd);
}

// --- ScriptedUser -----------------------------------------------------------------------------

ScriptedUser::ScriptedUser() : m_previous(g_current) {
    g_current = this;
}

// Users need not go in the reverse order of their making (a C host frees them as it likes):
// each unlinks itself from wherever it stands in the chain.
ScriptedUser::~ScriptedUser() {
    for (ScriptedUser** link = &g_current; *link != nullptr; link = &(*link)->m_previous) {
        if (*link == this) {
            *link = m_previous;
            return;
        }
    }
}

ScriptedUser* ScriptedUser::current() {
    return g_current;
}

void ScriptedUser::onDialog(std::function<void(Dialog&)> handler) {
    m_dialogHandlers.push_back(std::move(handler));
}

void ScriptedUser::onMessageBox(std::function<int(const MessageBoxCall&)> handler) {
    m_messageBoxHandlers.push_back(std::move(handler));
}

void ScriptedUser::onFileDialog(std::function<FileDialogAnswer(const FileDialogCall&)> handler) {
    m_fileDialogHandlers.push_back(std::move(handler));
}

void ScriptedUser::runDialog(CDialog& dialog) {
    m_dialogsSeen.push_back(static_cast<int>(dialog.GetTemplateId()));
    if (m_dialogHandlers.empty()) {
        noteUnexpected("no handler left for " + describe(dialog));
        forceClose(dialog);
        return;
    }
    auto handler = std::move(m_dialogHandlers.front());
    m_dialogHandlers.pop_front();
    Dialog view(dialog);
    handler(view);
    if (dialog.IsModalRunning()) {
        noteUnexpected("handler left " + describe(dialog) + " open");
        forceClose(dialog);
    }
}

int ScriptedUser::answerMessageBox(const MessageBoxCall& call) {
    m_messageBoxes.push_back(call);
    if (!m_messageBoxHandlers.empty()) {
        auto handler = std::move(m_messageBoxHandlers.front());
        m_messageBoxHandlers.pop_front();
        return handler(call);
    }
    noteUnexpected("no handler left for message box \"" + call.text + "\"");
    switch (call.type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDCANCEL;
    }
}

FileDialogAnswer ScriptedUser::answerFileDialog(const FileDialogCall& call) {
    m_fileDialogs.push_back(call);
    if (!m_fileDialogHandlers.empty()) {
        auto handler = std::move(m_fileDialogHandlers.front());
        m_fileDialogHandlers.pop_front();
        return handler(call);
    }
    noteUnexpected("no handler left for file dialog \"" + call.title + "\"");
    return FileDialogAnswer{};
}

} // namespace automation
