#include "platform/dialog.h"
#include "platform/backend.h"
#include "platform/controlclass.h"
#include "platform/module.h"

#include <algorithm>
#include <optional>

using platform::ControlKind;
using platform::Window;

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

DWORD CDialog::TemplateStyle(DWORD templateStyle, bool modal) const {
    DWORD style = templateStyle;
    if (modal) style = (style & ~(WS_CHILD | WS_DISABLED)) | WS_POPUP;
    return style | WS_VISIBLE;
}

namespace {

// Where the system's dialog manager puts a dialog: with DS_CENTER in the middle of the work
// area of its owner's screen; otherwise at its template position counted from the top-left
// corner of its owner's client area (the host's window when it has no owner of ours); and in
// both cases moved back inside the work area where it would stick out.
void placeTopLevel(RECT& rect, DWORD style, const Window* owner) {
    platform::Backend& view = platform::backend();
    const LONG w = rect.Width(), h = rect.Height();
    const RECT area = view.workArea(owner);
    if (style & DS_CENTER) {
        rect.left = area.left + (area.Width() - w) / 2;
        rect.top = area.top + (area.Height() - h) / 2;
    } else {
        std::optional<POINT> origin;
        if (owner != nullptr)
            origin = owner->clientOrigin();
        else
            origin = view.hostOwnerOrigin();
        if (origin) {
            rect.left += origin->x;
            rect.top += origin->y;
        }
    }
    rect.left = std::max(area.left, std::min(rect.left, area.right - w));
    rect.top = std::max(area.top, std::min(rect.top, area.bottom - h));
    rect.right = rect.left + w;
    rect.bottom = rect.top + h;
}

} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr) destroyModalWindow();
}

bool CDialog::createWindow(UINT templateId, CWnd* parent, bool modal) {
    if (m_hWnd != nullptr) return false;
    HINSTANCE resources = AfxGetResourceHandle();
    const platform::DialogTemplate* tpl =
        resources != nullptr ? resources->findDialog(static_cast<int>(templateId)) : nullptr;
    if (tpl == nullptr) return false;
    m_templateId = templateId;

    platform::Backend& view = platform::backend();
    SIZE base = view.dialogBaseUnits(tpl->font);
    DWORD style = TemplateStyle(tpl->style, modal);
    bool child = (style & WS_CHILD) != 0 && !modal;
    Window* parentWindow = parent != nullptr ? parent->m_hWnd : nullptr;
    if (child && parentWindow == nullptr) return false;

    RECT rect = platform::dialogUnitsToPixels(tpl->x, tpl->y, tpl->cx, tpl->cy, base);
    if (!child) placeTopLevel(rect, tpl->style, parentWindow);

    // A control dialog (a page) lets Tab move into its controls, as the dialog manager does.
    DWORD exStyle = tpl->exStyle | ((style & DS_CONTROL) ? WS_EX_CONTROLPARENT : 0);
    auto root =
        std::make_unique<Window>(ControlKind::Dialog, static_cast<int>(templateId), "#32770", style,
                                 exStyle, rect, child ? parentWindow : nullptr);
    root->setTemplate(tpl, resources);
    root->setBaseUnits(base);
    root->setText(tpl->caption);
    Window* window = nullptr;
    if (child) {
        window = parentWindow->addChild(std::move(root));
    } else {
        window = platform::adoptTopLevel(std::move(root));
        window->setOwner(parentWindow);
    }
    Attach(window);
    view.windowCreated(*window);

    CREATESTRUCT cs{tpl->caption, style, exStyle, rect};
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        destroyModalWindow();
        return false;
    }
    for (const platform::ControlTemplate& c : tpl->controls) {
        RECT r = platform::dialogUnitsToPixels(c.x, c.y, c.cx, c.cy, base);
        platform::createControl(*window, c.className, c.id, c.text, c.style, c.exStyle, r);
    }
    // As the system's dialog manager: a control dialog (a page) that is not shown yet leaves
    // the focus where it is.
    if (OnInitDialog() && (!(style & DS_CONTROL) || (style & WS_VISIBLE))) {
        if (Window* first = platform::firstTabStop(*window)) platform::setFocusWindow(first);
    }
    return true;
}

void CDialog::destroyModalWindow() {
    Window* window = m_hWnd;
    if (window == nullptr) return;
    if (window->parent() != nullptr) {
        window->parent()->destroyChild(window);
    } else {
        platform::destroyTopLevel(window);
    }
    m_hWnd = nullptr;
}

INT_PTR CDialog::DoModal() {
    m_modalResult = -1;
    m_ended = false;
    if (!createWindow(m_templateId, m_pParentWnd, true)) return -1;
    struct Cleanup {
        CDialog* dialog;
        ~Cleanup() {
            dialog->m_running = false;
            dialog->destroyModalWindow();
        }
    } cleanup{this};
    m_running = true;
    if (!m_ended) platform::runModal(*this);
    return m_modalResult;
}

bool CDialog::DestroyWindow() {
    if (m_hWnd == nullptr) return false;
    destroyModalWindow();
    return true;
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
    if (parent == nullptr) parent = m_pParentWnd;
    return createWindow(templateId, parent, false);
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_ended = true;
    platform::backend().endModal(*this);
}

CPushScope::CPushScope(CWnd& dialog) : m_window(dialog.m_hWnd) {
    if (m_window != nullptr) m_window->holdNotifications();
}

CPushScope::~CPushScope() {
    if (m_window != nullptr) m_window->releaseNotifications();
}

bool CDialog::UpdateData(bool saveAndValidate) {
    if (m_hWnd == nullptr) return false;
    std::optional<CPushScope> push;
    if (!saveAndValidate) push.emplace(*this);
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const platform::DataExchangeFailure&) {
        return false;
    }
    return true;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control != nullptr && control->m_hWnd != nullptr) platform::setFocusWindow(control->m_hWnd);
}

int CDialog::GetDefID() const {
    if (m_hWnd == nullptr) return 0;
    for (const auto& child : m_hWnd->children())
        if (child->kind() == ControlKind::PushButton &&
            (child->style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return child->id();
    return 0;
}

bool CDialog::ExecuteDlgInit() {
    if (m_hWnd == nullptr || m_hWnd->resources() == nullptr) return true;
    const auto& all = m_hWnd->resources()->listItems;
    auto found = all.find(static_cast<int>(m_templateId));
    if (found == all.end()) return true;
    for (const auto& [controlId, items] : found->second) {
        Window* control = m_hWnd->findChild(controlId);
        if (control == nullptr) return false;
        if (control->kind() != ControlKind::ComboBox && control->kind() != ControlKind::ListBox)
            return false;
        for (const std::string& text : items)
            control->insertItem(-1, text);
    }
    return true;
}

BOOL CDialog::OnInitDialog() {
    if (!ExecuteDlgInit()) {
        EndDialog(-1);
        return FALSE;
    }
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        // The close box asks for Cancel, as Escape does.
        WPARAM command = static_cast<WPARAM>(IDCANCEL) & 0xFFFF;
        SendMessage(WM_COMMAND, command, 0);
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}
