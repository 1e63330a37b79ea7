#include "UserText.h"
#include "platform/backend.h"
#include "platform/diagnostics.h"
#include "platform/dialog.h"
#include "platform/messagebox.h"
#include "platform/model.h"
#include "platform/wnd.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <unordered_set>

namespace platform {

std::unique_ptr<CWnd> makeWrapperFor(const Window& window); // ControlClasses.cpp

namespace {
Window* g_focus = nullptr;

std::unordered_set<const Window*>& livingWindows() {
    static std::unordered_set<const Window*> windows;
    return windows;
}

std::vector<std::unique_ptr<Window>>& topLevelWindows() {
    static std::vector<std::unique_ptr<Window>> windows;
    return windows;
}

bool isUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

int charCount(const std::string& text) {
    int n = 0;
    for (char c : text)
        if (!isUtf8Continuation(c)) ++n;
    return n;
}

// The byte offset of character \p index of a UTF-8 text (its size when beyond the end).
size_t byteOffset(const std::string& text, int index) {
    size_t at = 0;
    for (int n = 0; n < index && at < text.size(); ++n) {
        ++at;
        while (at < text.size() && isUtf8Continuation(text[at]))
            ++at;
    }
    return at;
}

} // namespace

Window::Window(ControlKind kind, int id, std::string className, DWORD style, DWORD exStyle,
               RECT rect, Window* parent)
    : m_kind(kind), m_id(id), m_className(std::move(className)), m_style(style), m_exStyle(exStyle),
      m_rect(rect), m_parent(parent) {
    checkUiThread();
    livingWindows().insert(this);
}

Window::~Window() {
    // Children go first, so that a view always loses the inner widgets before the outer ones.
    while (!m_children.empty())
        m_children.pop_back();
    livingWindows().erase(this);
    if (g_focus == this) g_focus = nullptr;
    backend().windowDestroyed(*this);
    if (m_wrapper) m_wrapper->m_hWnd = nullptr;
    if (m_attached != nullptr) {
        CWnd* attached = m_attached;
        m_attached = nullptr;
        attached->m_hWnd = nullptr;
        attached->PostNcDestroy();
    }
}

void Window::setStyle(DWORD style) {
    if (style == m_style) return;
    DWORD old = m_style;
    m_style = style;
    if ((old ^ style) & WS_DISABLED) changed(Change::Enabled);
    if ((old ^ style) & WS_VISIBLE) changed(Change::Visible);
    if (m_kind == ControlKind::Edit && ((old ^ style) & ES_READONLY)) changed(Change::ReadOnly);
    changed(Change::Style);
}

void Window::setExStyle(DWORD exStyle) {
    if (exStyle == m_exStyle) return;
    m_exStyle = exStyle;
    changed(Change::Style);
}

Window* Window::addChild(std::unique_ptr<Window> child) {
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

void Window::destroyChild(Window* child) {
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [child](const std::unique_ptr<Window>& c) { return c.get() == child; });
    if (it == m_children.end()) return;
    std::unique_ptr<Window> doomed = std::move(*it);
    m_children.erase(it);
    doomed.reset();
}

Window* Window::findChild(int id) const {
    for (const auto& child : m_children)
        if (child->m_id == id) return child.get();
    return nullptr;
}

Window* Window::notifyTarget() const {
    for (Window* w = m_parent; w != nullptr; w = w->m_parent)
        if (w->m_attached != nullptr) return w;
    return nullptr;
}

bool Window::isWithin(const Window* other) const {
    for (const Window* w = this; w != nullptr; w = w->m_parent)
        if (w == other) return true;
    return false;
}

CWnd* Window::wrapper() {
    if (m_attached != nullptr) return m_attached;
    if (!m_wrapper) {
        m_wrapper = makeWrapperFor(*this);
        m_wrapper->m_hWnd = this;
    }
    return m_wrapper.get();
}

void Window::setTemplate(const DialogTemplate* tpl, HINSTANCE resources) {
    m_template = tpl;
    m_resources = resources;
}

SIZE Window::baseUnits() const {
    for (const Window* w = this; w != nullptr; w = w->m_parent)
        if (w->m_template != nullptr) return w->m_baseUnits;
    return m_baseUnits;
}

void Window::setRect(const RECT& rect) {
    if (rect == m_rect) return;
    m_rect = rect;
    changed(Change::Rect);
}

POINT Window::clientOrigin() const {
    POINT origin{m_rect.left, m_rect.top};
    if (m_parent != nullptr) {
        POINT parentOrigin = m_parent->clientOrigin();
        origin.x += parentOrigin.x;
        origin.y += parentOrigin.y;
    }
    return origin;
}

void Window::setText(const std::string& text, Origin origin) {
    if (m_kind != ControlKind::Edit) {
        if (text == m_text) return;
        m_text = text;
        changed(Change::Text);
        return;
    }
    // The system's edit puts the caret before the text a program gives it; a person's paste
    // leaves it after the pasted text. A program's write of the same text changes nothing.
    if (origin == Origin::Program && text == m_text) return;
    int caret = origin == Origin::User ? charCount(text) : 0;
    setEditText(text, caret, caret, origin);
}

void Window::setEditText(const std::string& text, int selStart, int selEnd, Origin origin) {
    bool differs = text != m_text;
    m_text = text;
    int length = charCount(m_text);
    selStart = std::clamp(selStart, 0, length);
    selEnd = std::clamp(selEnd, 0, length);
    bool moved = selStart != m_selStart || selEnd != m_selEnd;
    m_selStart = std::min(selStart, selEnd);
    m_selEnd = std::max(selStart, selEnd);
    if (differs)
        changed(Change::Text);
    else if (moved)
        changed(Change::Selection);
    if (m_kind != ControlKind::Edit) return;
    if (origin == Origin::User || (differs && !notificationsHeld())) notify(EN_CHANGE);
}

int Window::textLength() const {
    return charCount(m_text);
}

void Window::setSel(int start, int end) {
    int length = charCount(m_text);
    if (start < 0) {
        end = start = m_selStart;
    } else {
        if (end < 0 || end > length) end = length;
        start = std::min(start, length);
        if (start > end) std::swap(start, end);
    }
    if (start == m_selStart && end == m_selEnd) return;
    m_selStart = start;
    m_selEnd = end;
    changed(Change::Selection);
}

void Window::showBalloon(const Balloon& balloon) {
    if (balloon.title == m_balloon.title && balloon.text == m_balloon.text &&
        balloon.icon == m_balloon.icon)
        return;
    m_balloon = balloon;
    changed(Change::Balloon);
}

void Window::hideBalloon() {
    if (!m_balloon.shown()) return;
    m_balloon = Balloon{};
    changed(Change::Balloon);
}

void Window::setEnabled(bool enabled) {
    setStyle(enabled ? (m_style & ~WS_DISABLED) : (m_style | WS_DISABLED));
    if (!enabled && g_focus != nullptr && g_focus->isWithin(this)) setFocusWindow(nullptr);
}

void Window::setVisible(bool visible) {
    setStyle(visible ? (m_style | WS_VISIBLE) : (m_style & ~WS_VISIBLE));
}

bool Window::reallyVisible() const {
    for (const Window* w = this; w != nullptr; w = w->m_parent)
        if (!w->visible()) return false;
    return true;
}

void Window::setReadOnly(bool readOnly) {
    setStyle(readOnly ? (m_style | ES_READONLY) : (m_style & ~ES_READONLY));
}

void Window::setCheck(int state) {
    ButtonState* button = stateAs<ButtonState>();
    if (button == nullptr || state == button->check) return;
    button->check = state;
    changed(Change::Check);
}

int Window::check() const {
    const ButtonState* button = stateAs<ButtonState>();
    return button != nullptr ? button->check : BST_UNCHECKED;
}

const std::vector<Item>& Window::items() const {
    static const std::vector<Item> none;
    const ListState* list = stateAs<ListState>();
    return list != nullptr ? list->items : none;
}

Item& Window::itemRef(int index) {
    ListState* list = stateAs<ListState>();
    if (list == nullptr) throw std::out_of_range("not a list");
    return list->items.at(static_cast<size_t>(index));
}

int Window::curSel() const {
    const ListState* list = stateAs<ListState>();
    return list != nullptr ? list->curSel : -1;
}

const std::vector<Column>& Window::columns() const {
    static const std::vector<Column> none;
    const ListState* list = stateAs<ListState>();
    return list != nullptr ? list->columns : none;
}

int Window::insertItem(int index, const std::string& text) {
    ListState* list = stateAs<ListState>();
    if (list == nullptr) return -1;
    int count = itemCount();
    if (index < 0 || index > count) index = count;
    Item item;
    item.text = text;
    list->items.insert(list->items.begin() + index, std::move(item));
    if (list->curSel >= index) ++list->curSel;
    changed(Change::ItemsInserted, ChangeRange::items(index, index));
    return index;
}

bool Window::deleteItem(int index) {
    ListState* list = stateAs<ListState>();
    if (list == nullptr || index < 0 || index >= itemCount()) return false;
    list->items.erase(list->items.begin() + index);
    if (list->curSel == index)
        list->curSel = -1;
    else if (list->curSel > index)
        --list->curSel;
    changed(Change::ItemsRemoved, ChangeRange::items(index, index));
    return true;
}

void Window::clearItems() {
    ListState* list = stateAs<ListState>();
    if (list == nullptr) return;
    list->items.clear();
    list->curSel = -1;
    changed(Change::Items);
}

void Window::itemsChanged(int index) {
    changed(Change::Items, index < 0 ? ChangeRange{} : ChangeRange::items(index, index));
}

void Window::setCurSel(int index) {
    ListState* list = stateAs<ListState>();
    if (list == nullptr) return;
    if (index < -1 || index >= itemCount()) index = -1;
    if (m_kind == ControlKind::ListView || multipleSelection()) {
        for (int i = 0; i < itemCount(); ++i)
            list->items[static_cast<size_t>(i)].selected = i == index;
        list->curSel = index;
        changed(Change::Selection);
        return;
    }
    if (index == list->curSel) return;
    list->curSel = index;
    changed(Change::Selection);
}

bool Window::multipleSelection() const {
    return m_kind == ControlKind::ListBox && (m_style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

bool Window::isSelected(int index) const {
    if (index < 0 || index >= itemCount()) return false;
    if (m_kind == ControlKind::ListView || multipleSelection())
        return items()[static_cast<size_t>(index)].selected;
    return index == curSel();
}

void Window::setSelected(int index, bool selected) {
    ListState* list = stateAs<ListState>();
    if (list == nullptr) return;
    if (m_kind == ControlKind::ListView || multipleSelection()) {
        if (index == -1) {
            for (auto& item : list->items)
                item.selected = selected;
        } else if (index >= 0 && index < itemCount()) {
            if (m_kind == ControlKind::ListView && selected && (m_style & LVS_SINGLESEL))
                for (auto& item : list->items)
                    item.selected = false;
            list->items[static_cast<size_t>(index)].selected = selected;
            if (selected) list->curSel = index;
        }
        changed(Change::Selection);
        return;
    }
    setCurSel(selected ? index : -1);
}

std::vector<int> Window::selectedIndices() const {
    std::vector<int> result;
    for (int i = 0; i < itemCount(); ++i)
        if (isSelected(i)) result.push_back(i);
    return result;
}

int Window::insertColumn(int index, const Column& column) {
    ListState* list = stateAs<ListState>();
    if (list == nullptr) return -1;
    int count = static_cast<int>(list->columns.size());
    if (index < 0 || index > count) index = count;
    list->columns.insert(list->columns.begin() + index, column);
    changed(Change::Columns);
    return index;
}

void Window::setColumnWidth(int index, int width) {
    ListState* list = stateAs<ListState>();
    if (list == nullptr || index < 0 || index >= static_cast<int>(list->columns.size())) return;
    list->columns[static_cast<size_t>(index)].width = width;
    changed(Change::Columns);
}

void Window::notify(int code) {
    Window* target = notifyTarget();
    if (target == nullptr) return;
    WPARAM wParam =
        (static_cast<WPARAM>(m_id) & 0xFFFF) | (static_cast<WPARAM>(code & 0xFFFF) << 16);
    target->attached()->SendMessage(WM_COMMAND, wParam, reinterpret_cast<LPARAM>(this));
}

bool Window::notificationsHeld() const {
    for (const Window* w = this; w != nullptr; w = w->m_parent)
        if (w->m_held > 0) return true;
    return false;
}

std::intptr_t Window::notifyItem(int code, int item) {
    Window* target = notifyTarget();
    if (target == nullptr) return 0;
    NMITEMACTIVATE info;
    info.hdr.hwndFrom = this;
    info.hdr.idFrom = static_cast<UINT_PTR>(m_id);
    info.hdr.code = code;
    info.iItem = item;
    return target->attached()->SendMessage(WM_NOTIFY, static_cast<WPARAM>(m_id),
                                           reinterpret_cast<LPARAM>(&info));
}

void Window::changed(Change what, const ChangeRange& range) {
    backend().windowChanged(*this, what, range);
}

Window* adoptTopLevel(std::unique_ptr<Window> window) {
    topLevelWindows().push_back(std::move(window));
    return topLevelWindows().back().get();
}

void destroyTopLevel(Window* window) {
    auto& windows = topLevelWindows();
    auto it =
        std::find_if(windows.begin(), windows.end(),
                     [window](const std::unique_ptr<Window>& w) { return w.get() == window; });
    if (it == windows.end()) return;
    std::unique_ptr<Window> doomed = std::move(*it);
    windows.erase(it);
}

bool isWindow(const Window* window) {
    return window != nullptr && livingWindows().count(window) != 0;
}

std::size_t livingWindowCount() {
    return livingWindows().size();
}

void checkUiThread() {
#ifndef NDEBUG
    static const std::thread::id uiThread = std::this_thread::get_id();
    if (std::this_thread::get_id() != uiThread) {
        std::fputs("platform: a window was used outside the user-interface thread\n", stderr);
        std::abort();
    }
#endif
}

Window* focusWindow() {
    return g_focus;
}

void setFocusWindow(Window* window) {
    if (window == g_focus) return;
    Window* old = g_focus;
    g_focus = window;
    if (old != nullptr) backend().windowChanged(*old, Change::Focus, {});
    if (window != nullptr) backend().windowChanged(*window, Change::Focus, {});
    if (old != nullptr && old->state() != nullptr) old->state()->focusLost(*old);
}

namespace {
void collectTabStops(Window& parent, std::vector<Window*>& order) {
    for (const auto& child : parent.children()) {
        Window* w = child.get();
        if (!w->visible() || !w->enabled()) continue;
        if (w->kind() == ControlKind::Dialog && (w->exStyle() & WS_EX_CONTROLPARENT) != 0) {
            collectTabStops(*w, order);
            continue;
        }
        if (w->kind() == ControlKind::Dialog) continue; // its controls are not ours to reach
        if (w->kind() == ControlKind::Static || w->kind() == ControlKind::GroupBox) continue;
        if (w->style() & WS_TABSTOP) order.push_back(w);
    }
}
} // namespace

std::vector<Window*> tabOrder(Window& dialog) {
    std::vector<Window*> order;
    collectTabStops(dialog, order);
    return order;
}

Window* firstTabStop(Window& dialog) {
    std::vector<Window*> order = tabOrder(dialog);
    return order.empty() ? nullptr : order.front();
}

std::string withoutAccessKeys(const std::string& text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        else if (text[i] == '&')
            continue;
        shown += text[i];
    }
    return shown;
}

RECT dialogUnitsToPixels(int x, int y, int cx, int cy, SIZE baseUnits) {
    auto scale = [](int value, int units, int divisor) {
        // Rounded the way the original framework's MulDiv rounds: half away from zero.
        double scaled = static_cast<double>(value) * units / divisor;
        return static_cast<LONG>(scaled < 0 ? -std::floor(-scaled + 0.5)
                                            : std::floor(scaled + 0.5));
    };
    RECT r;
    r.left = scale(x, baseUnits.cx, 4);
    r.top = scale(y, baseUnits.cy, 8);
    r.right = r.left + scale(cx, baseUnits.cx, 4);
    r.bottom = r.top + scale(cy, baseUnits.cy, 8);
    return r;
}

// --- User actions -----------------------------------------------------------------------------

namespace {

bool usable(const Window& w) {
    for (const Window* p = &w; p != nullptr; p = p->parent()) {
        if (!p->visible() || !p->enabled()) return false;
        if (p->kind() == ControlKind::Dialog && !(p->style() & WS_CHILD)) break;
    }
    return true;
}

Window* dialogOf(Window& w) {
    for (Window* p = &w; p != nullptr; p = p->parent())
        if (p->kind() == ControlKind::Dialog && !(p->style() & WS_CHILD)) return p;
    return nullptr;
}

void sendCommand(Window& dialog, int id, Window* from) {
    if (dialog.attached() == nullptr) return;
    WPARAM wParam = (static_cast<WPARAM>(id) & 0xFFFF) | (static_cast<WPARAM>(BN_CLICKED) << 16);
    dialog.attached()->SendMessage(WM_COMMAND, wParam, reinterpret_cast<LPARAM>(from));
}

// Depth-first search of the controls of a dialog, pages included.
Window* findControl(Window& root, int id) {
    for (const auto& child : root.children()) {
        if (child->id() == id && child->kind() != ControlKind::Dialog) return child.get();
        if (child->kind() == ControlKind::Dialog || child->kind() == ControlKind::Custom)
            if (Window* found = findControl(*child, id)) return found;
    }
    return nullptr;
}

Window* findDefaultButton(Window& root) {
    for (const auto& child : root.children())
        if (child->kind() == ControlKind::PushButton &&
            (child->style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return child.get();
    return nullptr;
}

std::vector<Window*> radioGroup(Window& radio) {
    Window* parent = radio.parent();
    std::vector<Window*> group;
    if (parent == nullptr) return group;
    const auto& siblings = parent->children();
    size_t at = 0;
    while (at < siblings.size() && siblings[at].get() != &radio)
        ++at;
    size_t start = at;
    while (start > 0 && !(siblings[start]->style() & WS_GROUP))
        --start;
    for (size_t i = start; i < siblings.size(); ++i) {
        if (i > start && (siblings[i]->style() & WS_GROUP)) break;
        if (siblings[i]->kind() == ControlKind::RadioButton) group.push_back(siblings[i].get());
    }
    return group;
}

} // namespace

bool userFocus(Window& control) {
    if (!usable(control)) return false;
    setFocusWindow(&control);
    return true;
}

bool userSetText(Window& edit, const std::string& text) {
    if (edit.kind() != ControlKind::Edit || !usable(edit) || edit.readOnly()) return false;
    setFocusWindow(&edit);
    std::string pasted = validUserText(text);
    if (edit.style() & (ES_UPPERCASE | ES_LOWERCASE)) {
        bool upper = (edit.style() & ES_UPPERCASE) != 0;
        for (char& c : pasted)
            c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                        : std::tolower(static_cast<unsigned char>(c)));
    }
    edit.setText(pasted, Origin::User);
    return true;
}

namespace {

// A typed key as the edit takes it: digits only in ES_NUMBER edits, letters in the forced case.
bool acceptKey(const Window& edit, std::string& key) {
    if ((edit.style() & ES_NUMBER) &&
        !(key.size() == 1 && std::isdigit(static_cast<unsigned char>(key[0]))))
        return false;
    if (edit.style() & ES_UPPERCASE)
        for (char& c : key)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (edit.style() & ES_LOWERCASE)
        for (char& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return true;
}

bool canType(const Window& edit) {
    return edit.kind() == ControlKind::Edit && usable(edit) && !edit.readOnly();
}

} // namespace

bool userKeys(Window& edit, const std::string& typed) {
    if (!canType(edit)) return false;
    setFocusWindow(&edit);
    const std::string keys = validUserText(typed);
    size_t i = 0;
    while (i < keys.size()) {
        // Each key reads the edit again: a handler of the previous one may have changed it.
        std::string text = edit.text();
        int start = edit.selStart();
        int end = edit.selEnd();
        int caret = start;
        if (keys[i] == '\b' || keys[i] == '\x7f') {
            bool backspace = keys[i] == '\b';
            ++i;
            if (start == end) {
                if (backspace && start == 0) continue; // nothing to delete: no change
                if (!backspace && end == charCount(text)) continue;
                if (backspace)
                    --start;
                else
                    ++end;
            }
            caret = start;
            size_t from = byteOffset(text, start);
            text.erase(from, byteOffset(text, end) - from);
        } else {
            size_t next = i + 1;
            while (next < keys.size() && isUtf8Continuation(keys[next]))
                ++next;
            std::string key = keys.substr(i, next - i);
            i = next;
            if (!acceptKey(edit, key)) continue;
            size_t from = byteOffset(text, start);
            text.replace(from, byteOffset(text, end) - from, key);
            caret = start + charCount(key);
        }
        edit.setEditText(text, caret, caret, Origin::User);
        if (!canType(edit)) break;
    }
    return true;
}

bool userType(Window& edit, const std::string& typed) {
    if (!canType(edit)) return false;
    setFocusWindow(&edit);
    int end = edit.textLength();
    edit.setSel(end, end);
    return userKeys(edit, typed);
}

bool userSelectText(Window& edit, int start, int end) {
    if (edit.kind() != ControlKind::Edit || !usable(edit)) return false;
    if (start < 0) return false;
    setFocusWindow(&edit);
    edit.setSel(start, end);
    return true;
}

bool userEdited(Window& edit, const std::string& text, int selStart, int selEnd) {
    if (!canType(edit)) return false;
    setFocusWindow(&edit);
    std::string typed = validUserText(text);
    edit.setEditText(typed, selStart, selEnd, Origin::User);
    return true;
}

bool userClick(Window& button) {
    ControlKind kind = button.kind();
    if (kind != ControlKind::PushButton && kind != ControlKind::CheckBox &&
        kind != ControlKind::RadioButton)
        return false;
    if (!usable(button)) return false;
    setFocusWindow(&button);
    DWORD type = button.style() & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) {
        button.setCheck(button.check() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    } else if (type == BS_AUTO3STATE) {
        button.setCheck((button.check() + 1) % 3);
    } else if (type == BS_AUTORADIOBUTTON) {
        for (Window* other : radioGroup(button))
            other->setCheck(other == &button ? BST_CHECKED : BST_UNCHECKED);
    }
    button.notify(BN_CLICKED);
    return true;
}

bool userSelect(Window& list, int index) {
    if (!usable(list)) return false;
    switch (list.kind()) {
    case ControlKind::ComboBox:
        if (index < 0 || index >= list.itemCount()) return false;
        setFocusWindow(&list);
        list.setCurSel(index);
        list.notify(CBN_SELCHANGE);
        return true;
    case ControlKind::ListBox:
        if (index < 0 || index >= list.itemCount()) return false;
        setFocusWindow(&list);
        if (list.style() & LBS_MULTIPLESEL)
            list.setSelected(index, !list.isSelected(index));
        else
            list.setCurSel(index);
        if (list.style() & LBS_NOTIFY) list.notify(LBN_SELCHANGE);
        return true;
    case ControlKind::ListView:
        if (index < -1 || index >= list.itemCount()) return false;
        setFocusWindow(&list);
        list.setCurSel(index);
        list.notifyItem(LVN_ITEMCHANGED, index);
        list.notifyItem(NM_CLICK, index);
        return true;
    default:
        return false;
    }
}

bool userMoveSelection(Window& list, int index) {
    if (!usable(list) || list.kind() != ControlKind::ListView) return false;
    if (index < 0 || index >= list.itemCount()) return false;
    setFocusWindow(&list);
    list.setCurSel(index);
    list.notifyItem(LVN_ITEMCHANGED, index);
    return true;
}

bool userDoubleClick(Window& list, int index) {
    if (!userSelect(list, index)) return false;
    if (list.kind() == ControlKind::ListBox && (list.style() & LBS_NOTIFY)) list.notify(LBN_DBLCLK);
    if (list.kind() == ControlKind::ListView) list.notifyItem(NM_DBLCLK, index);
    return true;
}

namespace {

// A control with an editor of its own (a grid's in-place editor) may keep Enter or Escape.
bool keptByFocus(Window& root, Key key) {
    Window* focus = focusWindow();
    return focus != nullptr && focus->isWithin(&root) && focus->state() != nullptr &&
           focus->state()->takeKey(*focus, key);
}

} // namespace

bool userEnter(Window& dialog) {
    Window* root = dialogOf(dialog);
    if (root == nullptr || !root->reallyVisible()) return false;
    if (keptByFocus(*root, Key::Enter)) return true;
    Window* focus = focusWindow();
    if (focus != nullptr && focus->isWithin(root) && focus->kind() == ControlKind::PushButton &&
        usable(*focus)) {
        sendCommand(*root, focus->id(), focus);
        return true;
    }
    Window* defButton = findDefaultButton(*root);
    int id = defButton != nullptr ? defButton->id() : IDOK;
    Window* target = defButton != nullptr ? defButton : findControl(*root, IDOK);
    if (target != nullptr && !usable(*target)) {
        MessageBeep(MB_OK); // a disabled default button does not take the key
        return true;
    }
    sendCommand(*root, id, target);
    return true;
}

bool userEscape(Window& dialog) {
    Window* root = dialogOf(dialog);
    if (root == nullptr || !root->reallyVisible()) return false;
    if (keptByFocus(*root, Key::Escape)) return true;
    sendCommand(*root, IDCANCEL, findControl(*root, IDCANCEL));
    return true;
}

bool userTab(Window& dialog, bool backwards) {
    Window* root = dialogOf(dialog);
    if (root == nullptr || !root->reallyVisible()) return false;
    std::vector<Window*> order = tabOrder(*root);
    if (order.empty()) return false;
    Window* focus = focusWindow();
    auto at = std::find(order.begin(), order.end(), focus);
    std::ptrdiff_t n = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t index = at == order.end() ? (backwards ? 0 : -1) : at - order.begin();
    index = ((index + (backwards ? -1 : 1)) % n + n) % n;
    Window* next = order[static_cast<size_t>(index)];
    setFocusWindow(next);
    // The dialog manager selects the whole text of an edit that Tab reaches.
    if (next->kind() == ControlKind::Edit) next->setSel(0, -1);
    return true;
}

bool userClose(Window& dialog) {
    Window* root = dialogOf(dialog);
    if (root == nullptr || !root->reallyVisible()) return false;
    if (!(root->style() & WS_SYSMENU)) return false;
    if (root->attached() != nullptr) root->attached()->SendMessage(WM_CLOSE);
    return true;
}

} // namespace platform
