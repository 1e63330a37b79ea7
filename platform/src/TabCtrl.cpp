// The tab control: its registration, its framework class and the click on a tab.
#include "platform/tabctrl.h"
#include "platform/backend.h"
#include "platform/controlclass.h"

namespace platform {

int TabState::rowHeight(SIZE baseUnits) {
    // One line of the dialog font with the padding of a tab around it.
    return baseUnits.cy + 8;
}

void TabState::adjustRect(SIZE baseUnits, bool larger, RECT& rect) {
    const int border = 4;
    const int top = rowHeight(baseUnits) + border;
    int sign = larger ? -1 : 1;
    rect.left += sign * border;
    rect.top += sign * top;
    rect.right -= sign * border;
    rect.bottom -= sign * border;
    if (!larger) {
        if (rect.right < rect.left) rect.right = rect.left;
        if (rect.bottom < rect.top) rect.bottom = rect.top;
    }
}

TabState* tabStateOf(const Window* window) {
    return window != nullptr ? window->stateAs<TabState>() : nullptr;
}

ControlClass tabControlClass() {
    return ControlClass{"SysTabControl32", [](DWORD) { return ControlKind::Tab; },
                        [](Window&) { return std::make_unique<TabState>(); },
                        [] { return std::make_unique<CTabCtrl>(); }};
}

bool userSelectTab(Window& tab, int index) {
    TabState* state = tabStateOf(&tab);
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->tabs.size()))
        return false;
    for (const Window* w = &tab; w != nullptr; w = w->parent()) {
        if (!w->visible() || !w->enabled()) return false;
        if (w->kind() == ControlKind::Dialog && !(w->style() & WS_CHILD)) break;
    }
    if (index == state->current) return true;
    // The page being left keeps the focus when it refuses.
    if (tab.notifyItem(TCN_SELCHANGING, state->current) != 0) return false;
    setFocusWindow(&tab);
    state = tabStateOf(&tab); // the owner may have rebuilt the tabs
    if (state == nullptr || index >= static_cast<int>(state->tabs.size())) return false;
    state->current = index;
    tab.changed(Change::Tabs);
    tab.notifyItem(TCN_SELCHANGE, index);
    return true;
}

namespace {
Window* firstShownTabControl(Window& root) {
    for (const auto& child : root.children()) {
        if (!child->visible()) continue;
        if (child->kind() == ControlKind::Tab) return child.get();
        if (child->kind() == ControlKind::Dialog)
            if (Window* found = firstShownTabControl(*child)) return found;
    }
    return nullptr;
}
} // namespace

bool userNextTab(Window& dialog, bool backwards) {
    Window* root = &dialog;
    while (root->parent() != nullptr)
        root = root->parent();
    Window* tab = firstShownTabControl(*root);
    TabState* state = tabStateOf(tab);
    if (state == nullptr || state->tabs.empty()) return false;
    int n = static_cast<int>(state->tabs.size());
    int next = ((state->current < 0 ? 0 : state->current) + (backwards ? n - 1 : 1)) % n;
    return userSelectTab(*tab, next);
}

} // namespace platform

using platform::Change;
using platform::TabState;

namespace {
TabState* stateOf(const CTabCtrl& tab) {
    return platform::tabStateOf(tab.m_hWnd);
}
} // namespace

bool CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("SysTabControl32", "", style, rect, parent, id);
}

int CTabCtrl::InsertItem(int index, const std::string& text, LPARAM data) {
    TabState* state = stateOf(*this);
    if (state == nullptr || index < 0) return -1;
    int count = static_cast<int>(state->tabs.size());
    if (index > count) index = count;
    state->tabs.insert(state->tabs.begin() + index, TabState::Tab{text, data});
    if (state->current >= index) ++state->current;
    if (state->current < 0) state->current = 0;
    m_hWnd->changed(Change::Tabs);
    return index;
}

bool CTabCtrl::DeleteItem(int index) {
    TabState* state = stateOf(*this);
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->tabs.size()))
        return false;
    state->tabs.erase(state->tabs.begin() + index);
    if (state->current == index)
        state->current = -1;
    else if (state->current > index)
        --state->current;
    m_hWnd->changed(Change::Tabs);
    return true;
}

bool CTabCtrl::DeleteAllItems() {
    TabState* state = stateOf(*this);
    if (state == nullptr) return false;
    state->tabs.clear();
    state->current = -1;
    m_hWnd->changed(Change::Tabs);
    return true;
}

int CTabCtrl::GetItemCount() const {
    TabState* state = stateOf(*this);
    return state != nullptr ? static_cast<int>(state->tabs.size()) : 0;
}

std::string CTabCtrl::GetItemText(int index) const {
    TabState* state = stateOf(*this);
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->tabs.size())) return {};
    return state->tabs[static_cast<size_t>(index)].text;
}

bool CTabCtrl::SetItemText(int index, const std::string& text) {
    TabState* state = stateOf(*this);
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->tabs.size()))
        return false;
    state->tabs[static_cast<size_t>(index)].text = text;
    m_hWnd->changed(Change::Tabs);
    return true;
}

LPARAM CTabCtrl::GetItemData(int index) const {
    TabState* state = stateOf(*this);
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->tabs.size())) return 0;
    return state->tabs[static_cast<size_t>(index)].data;
}

int CTabCtrl::GetCurSel() const {
    TabState* state = stateOf(*this);
    return state != nullptr ? state->current : -1;
}

int CTabCtrl::SetCurSel(int index) {
    TabState* state = stateOf(*this);
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->tabs.size())) return -1;
    int previous = state->current;
    if (previous != index) {
        state->current = index;
        m_hWnd->changed(Change::Tabs);
    }
    return previous;
}

void CTabCtrl::AdjustRect(bool larger, RECT* rect) const {
    if (m_hWnd != nullptr && rect != nullptr)
        TabState::adjustRect(m_hWnd->baseUnits(), larger, *rect);
}
