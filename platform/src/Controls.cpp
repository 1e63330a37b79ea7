#include "platform/backend.h"
#include "platform/controlclass.h"
#include "platform/messagebox.h"
#include "platform/model.h"
#include "platform/wnd.h"

#include <algorithm>
#include <cctype>

using platform::ControlKind;
using platform::Window;

// --- CCmdTarget -------------------------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::dispatchMessage(UINT message, int code, int id, WPARAM wParam, LPARAM lParam,
                                 LRESULT* result) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage != message) continue;
            if (message == WM_COMMAND || message == WM_NOTIFY) {
                if (e->nCode != code || id < e->nID || id > e->nLastID) continue;
            }
            LRESULT r = e->pfn(this, wParam, lParam);
            if (result != nullptr) *result = r;
            return true;
        }
    }
    return false;
}

// --- CWnd -------------------------------------------------------------------------------------

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

CWnd::~CWnd() {
    if (m_hWnd != nullptr && m_hWnd->attached() == this) m_hWnd->attach(nullptr);
    m_hWnd = nullptr;
}

bool CWnd::Attach(HWND window) {
    if (!platform::isWindow(window) || m_hWnd != nullptr) return false;
    if (window->attached() != nullptr && window->attached() != this) return false;
    m_hWnd = window;
    window->attach(this);
    return true;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    if (window != nullptr && window->attached() == this) window->attach(nullptr);
    m_hWnd = nullptr;
    return window;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr || parent->m_hWnd == nullptr) return false;
    Window* child = parent->m_hWnd->findChild(static_cast<int>(id));
    return child != nullptr && Attach(child);
}

CWnd* CWnd::FromHandle(HWND window) {
    return platform::isWindow(window) ? window->wrapper() : nullptr;
}

bool IsWindow(HWND window) {
    return platform::isWindow(window);
}

bool CWnd::Create(const std::string& className, const std::string& text, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, DWORD exStyle) {
    if (m_hWnd != nullptr || parent == nullptr || parent->m_hWnd == nullptr) return false;
    Window* created = platform::createControl(*parent->m_hWnd, className, static_cast<int>(id),
                                              text, style, exStyle, rect);
    Attach(created);
    CREATESTRUCT cs{text, style, exStyle, rect};
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return false;
    }
    return true;
}

bool CWnd::DestroyWindow() {
    Window* window = m_hWnd;
    if (window == nullptr) return false;
    SendMessage(WM_DESTROY);
    // Top-level windows belong to their dialog object, which destroys them itself.
    if (window->parent() == nullptr) return false;
    window->parent()->destroyChild(window);
    return true;
}

CWnd* CWnd::GetDlgItem(int id) const {
    if (m_hWnd == nullptr) return nullptr;
    Window* child = m_hWnd->findChild(id);
    return child != nullptr ? child->wrapper() : nullptr;
}

int CWnd::GetDlgCtrlID() const {
    return m_hWnd != nullptr ? m_hWnd->id() : 0;
}

CWnd* CWnd::GetParent() const {
    return m_hWnd != nullptr && m_hWnd->parent() != nullptr ? m_hWnd->parent()->wrapper() : nullptr;
}

CWnd* CWnd::GetOwner() const {
    if (m_hWnd == nullptr) return nullptr;
    if (m_hWnd->owner() != nullptr) return m_hWnd->owner()->wrapper();
    return GetParent();
}

void CWnd::SetOwner(CWnd* owner) {
    if (m_hWnd != nullptr) m_hWnd->setOwner(owner != nullptr ? owner->m_hWnd : nullptr);
}

void CWnd::SetWindowText(const std::string& text) {
    if (m_hWnd != nullptr) m_hWnd->setText(text);
}

std::string CWnd::GetWindowText() const {
    if (m_hWnd == nullptr) return {};
    if (m_hWnd->kind() == ControlKind::ComboBox) {
        int sel = m_hWnd->curSel();
        return sel >= 0 ? m_hWnd->item(sel).text : std::string();
    }
    return m_hWnd->text();
}

int CWnd::GetWindowTextLength() const {
    return static_cast<int>(GetWindowText().size());
}

void CWnd::SetDlgItemText(int id, const std::string& text) {
    if (CWnd* item = GetDlgItem(id)) item->SetWindowText(text);
}

std::string CWnd::GetDlgItemText(int id) const {
    CWnd* item = GetDlgItem(id);
    return item != nullptr ? item->GetWindowText() : std::string();
}

bool CWnd::EnableWindow(bool enable) {
    if (m_hWnd == nullptr) return false;
    bool wasDisabled = !m_hWnd->enabled();
    m_hWnd->setEnabled(enable);
    return wasDisabled;
}

bool CWnd::IsWindowEnabled() const {
    return m_hWnd != nullptr && m_hWnd->enabled();
}

bool CWnd::ShowWindow(int command) {
    if (m_hWnd == nullptr) return false;
    bool wasVisible = m_hWnd->visible();
    m_hWnd->setVisible(command != SW_HIDE);
    return wasVisible;
}

bool CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && m_hWnd->reallyVisible();
}

DWORD CWnd::GetStyle() const {
    return m_hWnd != nullptr ? m_hWnd->style() : 0;
}

DWORD CWnd::GetExStyle() const {
    return m_hWnd != nullptr ? m_hWnd->exStyle() : 0;
}

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
    if (m_hWnd == nullptr) return false;
    DWORD style = (m_hWnd->style() & ~remove) | add;
    if (style == m_hWnd->style()) return false;
    m_hWnd->setStyle(style);
    return true;
}

bool CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
    if (m_hWnd == nullptr) return false;
    DWORD style = (m_hWnd->exStyle() & ~remove) | add;
    if (style == m_hWnd->exStyle()) return false;
    m_hWnd->setExStyle(style);
    return true;
}

CWnd* CWnd::SetFocus() {
    CWnd* previous = GetFocus();
    if (m_hWnd != nullptr) platform::setFocusWindow(m_hWnd);
    return previous;
}

CWnd* CWnd::GetFocus() {
    return FromHandle(platform::focusWindow());
}

void CWnd::GetWindowRect(RECT* rect) const {
    if (rect == nullptr || m_hWnd == nullptr) return;
    RECT r = m_hWnd->rect();
    if (m_hWnd->parent() != nullptr) {
        POINT origin = m_hWnd->parent()->clientOrigin();
        r.left += origin.x;
        r.right += origin.x;
        r.top += origin.y;
        r.bottom += origin.y;
    }
    *rect = r;
}

void CWnd::GetClientRect(RECT* rect) const {
    if (rect != nullptr && m_hWnd != nullptr) *rect = m_hWnd->clientRect();
}

void CWnd::ScreenToClient(RECT* rect) const {
    if (rect == nullptr || m_hWnd == nullptr) return;
    POINT origin = m_hWnd->clientOrigin();
    rect->left -= origin.x;
    rect->right -= origin.x;
    rect->top -= origin.y;
    rect->bottom -= origin.y;
}

void CWnd::ClientToScreen(RECT* rect) const {
    if (rect == nullptr || m_hWnd == nullptr) return;
    POINT origin = m_hWnd->clientOrigin();
    rect->left += origin.x;
    rect->right += origin.x;
    rect->top += origin.y;
    rect->bottom += origin.y;
}

void CWnd::ScreenToClient(POINT* point) const {
    if (point == nullptr || m_hWnd == nullptr) return;
    POINT origin = m_hWnd->clientOrigin();
    point->x -= origin.x;
    point->y -= origin.y;
}

void CWnd::ClientToScreen(POINT* point) const {
    if (point == nullptr || m_hWnd == nullptr) return;
    POINT origin = m_hWnd->clientOrigin();
    point->x += origin.x;
    point->y += origin.y;
}

void CWnd::MoveWindow(int x, int y, int width, int height, bool repaint) {
    RECT r{x, y, x + width, y + height};
    MoveWindow(&r, repaint);
}

void CWnd::MoveWindow(const RECT* rect, bool) {
    if (rect == nullptr || m_hWnd == nullptr) return;
    bool resized =
        rect->Width() != m_hWnd->rect().Width() || rect->Height() != m_hWnd->rect().Height();
    m_hWnd->setRect(*rect);
    if (resized) {
        LPARAM size = (static_cast<LPARAM>(rect->Width()) & 0xFFFF) |
                      ((static_cast<LPARAM>(rect->Height()) & 0xFFFF) << 16);
        SendMessage(WM_SIZE, SIZE_RESTORED, size);
    }
}

bool CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags) {
    if (m_hWnd == nullptr) return false;
    RECT r = m_hWnd->rect();
    if (!(flags & SWP_NOMOVE)) {
        LONG w = r.Width(), h = r.Height();
        r.left = x;
        r.top = y;
        r.right = x + w;
        r.bottom = y + h;
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + cx;
        r.bottom = r.top + cy;
    }
    MoveWindow(&r, !(flags & SWP_NOREDRAW));
    if (flags & SWP_SHOWWINDOW) m_hWnd->setVisible(true);
    if (flags & SWP_HIDEWINDOW) m_hWnd->setVisible(false);
    return true;
}

int CWnd::MessageBox(const std::string& text, const std::string& caption, UINT type) {
    return ::MessageBox(this, text, caption, type);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        int id = static_cast<int>(static_cast<short>(wParam & 0xFFFF));
        int code = static_cast<int>((wParam >> 16) & 0xFFFF);
        if (OnCommand(id, code)) return 0;
        return DefWindowProc(message, wParam, lParam);
    }
    if (message == WM_NOTIFY) {
        // WM_NOTIFY carries its header's address in lParam.
        auto* header = reinterpret_cast<NMHDR*>(lParam); // NOLINT(performance-no-int-to-ptr)
        LRESULT result = 0;
        if (header != nullptr && OnNotify(static_cast<int>(wParam), header, &result)) return result;
        return DefWindowProc(message, wParam, lParam);
    }
    LRESULT result = 0;
    if (dispatchMessage(message, 0, 0, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

bool CWnd::OnCommand(int id, int code) {
    return dispatchMessage(WM_COMMAND, code, id, static_cast<WPARAM>(id), 0);
}

bool CWnd::OnNotify(int id, NMHDR* header, LRESULT* result) {
    return dispatchMessage(WM_NOTIFY, header->code, id, static_cast<WPARAM>(id),
                           reinterpret_cast<LPARAM>(header), result);
}

LRESULT CWnd::DefWindowProc(UINT, WPARAM, LPARAM) {
    return 0;
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return 0;
}

void CWnd::OnClose() {
    DefWindowProc(WM_CLOSE, 0, 0);
}

void CWnd::OnSize(UINT, int, int) {}

// --- Controls ---------------------------------------------------------------------------------

bool CEdit::SetReadOnly(bool readOnly) {
    if (m_hWnd == nullptr) return false;
    m_hWnd->setReadOnly(readOnly);
    return true;
}

void CEdit::SetSel(int start, int end, bool) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

DWORD CEdit::GetSel() const {
    int start = 0;
    int end = 0;
    GetSel(start, end);
    return (static_cast<DWORD>(start) & 0xFFFF) | ((static_cast<DWORD>(end) & 0xFFFF) << 16);
}

void CEdit::GetSel(int& start, int& end) const {
    start = m_hWnd != nullptr ? m_hWnd->selStart() : 0;
    end = m_hWnd != nullptr ? m_hWnd->selEnd() : 0;
}

void CEdit::ReplaceSel(const std::string& text, bool canUndo) {
    SendMessage(EM_REPLACESEL, canUndo ? 1 : 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool CEdit::ShowBalloonTip(const std::string& title, const std::string& text, int icon) {
    EDITBALLOONTIP balloon;
    balloon.pszTitle = title.c_str();
    balloon.pszText = text.c_str();
    balloon.ttiIcon = icon;
    return ShowBalloonTip(&balloon);
}

bool CEdit::ShowBalloonTip(const EDITBALLOONTIP* balloon) {
    return SendMessage(EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(balloon)) != 0;
}

bool CEdit::HideBalloonTip() {
    return SendMessage(EM_HIDEBALLOONTIP) != 0;
}

LRESULT CEdit::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = m_hWnd;
    if (w == nullptr || w->kind() != ControlKind::Edit)
        return CWnd::DefWindowProc(message, wParam, lParam);
    switch (message) {
    case EM_GETSEL: {
        // The message carries the addresses of its two answers.
        if (auto* start = reinterpret_cast<int*>(wParam)) *start = w->selStart(); // NOLINT
        if (auto* end = reinterpret_cast<int*>(lParam)) *end = w->selEnd();       // NOLINT
        return static_cast<LRESULT>((static_cast<DWORD>(w->selStart()) & 0xFFFF) |
                                    ((static_cast<DWORD>(w->selEnd()) & 0xFFFF) << 16));
    }
    case EM_SETSEL:
        w->setSel(static_cast<int>(wParam), static_cast<int>(lParam));
        return 1;
    case EM_REPLACESEL: {
        const auto* text =
            reinterpret_cast<const char*>(lParam); // NOLINT(performance-no-int-to-ptr)
        std::string inserted = text != nullptr ? text : "";
        std::string whole = w->text();
        // Positions are characters; the text is UTF-8.
        auto offset = [&whole](int index) {
            size_t at = 0;
            for (int n = 0; n < index && at < whole.size(); ++n) {
                ++at;
                while (at < whole.size() && (static_cast<unsigned char>(whole[at]) & 0xC0) == 0x80)
                    ++at;
            }
            return at;
        };
        size_t from = offset(w->selStart());
        size_t to = offset(w->selEnd());
        int caret = w->selStart();
        for (char c : inserted)
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++caret;
        whole.replace(from, to - from, inserted);
        w->setEditText(whole, caret, caret, platform::Origin::Program);
        return 0;
    }
    case EM_SHOWBALLOONTIP: {
        const auto* tip = reinterpret_cast<const EDITBALLOONTIP*>(lParam); // NOLINT
        if (tip == nullptr) return 0;
        platform::Balloon balloon;
        balloon.title = tip->pszTitle != nullptr ? tip->pszTitle : "";
        balloon.text = tip->pszText != nullptr ? tip->pszText : "";
        balloon.icon = tip->ttiIcon;
        if (!balloon.shown()) return 0;
        w->showBalloon(balloon);
        return 1;
    }
    case EM_HIDEBALLOONTIP:
        w->hideBalloon();
        return 1;
    default:
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
}

int CButton::GetCheck() const {
    return m_hWnd != nullptr ? m_hWnd->check() : 0;
}

void CButton::SetCheck(int state) {
    if (m_hWnd != nullptr) m_hWnd->setCheck(state);
}

UINT CButton::GetButtonStyle() const {
    return m_hWnd != nullptr ? (m_hWnd->style() & 0xFFFF) : 0;
}

namespace {

bool lessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

int addSorted(Window* w, const std::string& text, DWORD sortFlag) {
    if (w == nullptr) return -1;
    int index = -1;
    if (w->style() & sortFlag) {
        index = 0;
        while (index < w->itemCount() && !lessNoCase(text, w->item(index).text))
            ++index;
    }
    return w->insertItem(index, text);
}

int itemText(const Window* w, int index, std::string& text) {
    if (w == nullptr || index < 0 || index >= w->itemCount()) {
        text.clear();
        return -1;
    }
    text = w->item(index).text;
    return static_cast<int>(text.size());
}

} // namespace

int CComboBox::AddString(const std::string& text) {
    return addSorted(m_hWnd, text, CBS_SORT);
}

int CComboBox::InsertString(int index, const std::string& text) {
    if (m_hWnd == nullptr || index > m_hWnd->itemCount()) return CB_ERR;
    return m_hWnd->insertItem(index, text);
}

int CComboBox::DeleteString(int index) {
    if (m_hWnd == nullptr || !m_hWnd->deleteItem(index)) return CB_ERR;
    return m_hWnd->itemCount();
}

void CComboBox::ResetContent() {
    if (m_hWnd != nullptr) m_hWnd->clearItems();
}

int CComboBox::GetCount() const {
    return m_hWnd != nullptr ? m_hWnd->itemCount() : CB_ERR;
}

int CComboBox::GetCurSel() const {
    return m_hWnd != nullptr ? m_hWnd->curSel() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    if (m_hWnd == nullptr) return CB_ERR;
    m_hWnd->setCurSel(index);
    return index >= 0 && index < m_hWnd->itemCount() ? index : CB_ERR;
}

int CComboBox::GetLBText(int index, std::string& text) const {
    return itemText(m_hWnd, index, text);
}

int CComboBox::GetLBTextLen(int index) const {
    std::string text;
    return itemText(m_hWnd, index, text);
}

int CComboBox::FindStringExact(int startAfter, const std::string& text) const {
    if (m_hWnd == nullptr) return CB_ERR;
    int count = m_hWnd->itemCount();
    for (int n = 0; n < count; ++n) {
        int i = (startAfter + 1 + n) % count;
        if (i < 0) i += count;
        const std::string& candidate = m_hWnd->item(i).text;
        if (candidate.size() == text.size() && !lessNoCase(candidate, text) &&
            !lessNoCase(text, candidate))
            return i;
    }
    return CB_ERR;
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount()) return CB_ERR;
    m_hWnd->itemRef(index).data = data;
    return 0;
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount())
        return static_cast<DWORD_PTR>(CB_ERR);
    return m_hWnd->item(index).data;
}

int CListBox::AddString(const std::string& text) {
    return addSorted(m_hWnd, text, LBS_SORT);
}

int CListBox::InsertString(int index, const std::string& text) {
    if (m_hWnd == nullptr || index > m_hWnd->itemCount()) return LB_ERR;
    return m_hWnd->insertItem(index, text);
}

int CListBox::DeleteString(int index) {
    if (m_hWnd == nullptr || !m_hWnd->deleteItem(index)) return LB_ERR;
    return m_hWnd->itemCount();
}

void CListBox::ResetContent() {
    if (m_hWnd != nullptr) m_hWnd->clearItems();
}

int CListBox::GetCount() const {
    return m_hWnd != nullptr ? m_hWnd->itemCount() : LB_ERR;
}

int CListBox::GetCurSel() const {
    if (m_hWnd == nullptr) return LB_ERR;
    return m_hWnd->curSel();
}

int CListBox::SetCurSel(int index) {
    if (m_hWnd == nullptr || m_hWnd->multipleSelection()) return LB_ERR;
    m_hWnd->setCurSel(index);
    return index >= 0 && index < m_hWnd->itemCount() ? index : LB_ERR;
}

int CListBox::GetSel(int index) const {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount()) return LB_ERR;
    return m_hWnd->isSelected(index) ? 1 : 0;
}

int CListBox::SetSel(int index, bool select) {
    if (m_hWnd == nullptr || !m_hWnd->multipleSelection() || index < -1 ||
        index >= m_hWnd->itemCount())
        return LB_ERR;
    m_hWnd->setSelected(index, select);
    return 0;
}

int CListBox::GetSelCount() const {
    if (m_hWnd == nullptr || !m_hWnd->multipleSelection()) return LB_ERR;
    return static_cast<int>(m_hWnd->selectedIndices().size());
}

int CListBox::GetSelItems(int maxItems, int* items) const {
    if (m_hWnd == nullptr || !m_hWnd->multipleSelection() || items == nullptr) return LB_ERR;
    std::vector<int> selected = m_hWnd->selectedIndices();
    int n = std::min(maxItems, static_cast<int>(selected.size()));
    std::copy_n(selected.begin(), n, items);
    return n;
}

int CListBox::GetText(int index, std::string& text) const {
    return itemText(m_hWnd, index, text);
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount()) return LB_ERR;
    m_hWnd->itemRef(index).data = data;
    return 0;
}

DWORD_PTR CListBox::GetItemData(int index) const {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount())
        return static_cast<DWORD_PTR>(LB_ERR);
    return m_hWnd->item(index).data;
}

int CListCtrl::InsertColumn(int index, const std::string& heading, int format, int width, int) {
    if (m_hWnd == nullptr) return -1;
    return m_hWnd->insertColumn(index, platform::Column{heading, format, width < 0 ? 0 : width});
}

bool CListCtrl::SetColumnWidth(int column, int width) {
    if (m_hWnd == nullptr || column < 0 || column >= GetColumnCount()) return false;
    m_hWnd->setColumnWidth(column, width);
    return true;
}

int CListCtrl::GetColumnCount() const {
    return m_hWnd != nullptr ? static_cast<int>(m_hWnd->columns().size()) : 0;
}

int CListCtrl::InsertItem(int index, const std::string& text) {
    if (m_hWnd == nullptr) return -1;
    return m_hWnd->insertItem(index, text);
}

bool CListCtrl::DeleteItem(int index) {
    return m_hWnd != nullptr && m_hWnd->deleteItem(index);
}

bool CListCtrl::DeleteAllItems() {
    if (m_hWnd == nullptr) return false;
    m_hWnd->clearItems();
    return true;
}

int CListCtrl::GetItemCount() const {
    return m_hWnd != nullptr ? m_hWnd->itemCount() : 0;
}

std::string CListCtrl::GetItemText(int index, int subItem) const {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount()) return {};
    const platform::Item& item = m_hWnd->item(index);
    if (subItem == 0) return item.text;
    size_t sub = static_cast<size_t>(subItem - 1);
    return subItem > 0 && sub < item.subItems.size() ? item.subItems[sub] : std::string();
}

bool CListCtrl::SetItemText(int index, int subItem, const std::string& text) {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount() || subItem < 0) return false;
    platform::Item& item = m_hWnd->itemRef(index);
    if (subItem == 0) {
        item.text = text;
    } else {
        if (item.subItems.size() < static_cast<size_t>(subItem))
            item.subItems.resize(static_cast<size_t>(subItem));
        item.subItems[static_cast<size_t>(subItem - 1)] = text;
    }
    m_hWnd->itemsChanged(index);
    return true;
}

bool CListCtrl::SetItemData(int index, DWORD_PTR data) {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount()) return false;
    m_hWnd->itemRef(index).data = data;
    return true;
}

DWORD_PTR CListCtrl::GetItemData(int index) const {
    if (m_hWnd == nullptr || index < 0 || index >= m_hWnd->itemCount()) return 0;
    return m_hWnd->item(index).data;
}

UINT CListCtrl::GetItemState(int index, UINT mask) const {
    if (m_hWnd == nullptr) return 0;
    return (m_hWnd->isSelected(index) ? LVIS_SELECTED : 0u) & mask;
}

bool CListCtrl::SetItemState(int index, UINT state, UINT mask) {
    if (m_hWnd == nullptr || index < -1 || index >= m_hWnd->itemCount()) return false;
    if (mask & LVIS_SELECTED) m_hWnd->setSelected(index, (state & LVIS_SELECTED) != 0);
    return true;
}

int CListCtrl::GetNextItem(int start, int flags) const {
    if (m_hWnd == nullptr) return -1;
    for (int i = start + 1; i < m_hWnd->itemCount(); ++i)
        if (!(flags & LVNI_SELECTED) || m_hWnd->isSelected(i)) return i;
    return -1;
}

int CListCtrl::GetSelectedCount() const {
    return m_hWnd != nullptr ? static_cast<int>(m_hWnd->selectedIndices().size()) : 0;
}
