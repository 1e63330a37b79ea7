#include "platform/dialog.h"
#include "platform/messagebox.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>

using platform::ControlKind;
using platform::Window;

namespace {

const char* const kEnterNumber = "Immettere un numero.";
const char* const kEnterRange = "Immettere un numero compreso tra %1 e %2.";

std::string trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

bool parseWhole(const std::string& text, long long& value) {
    std::string t = trim(text);
    if (t.empty()) return false;
    const char* first = t.data();
    if (*first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), value);
    return ec == std::errc() && ptr == t.data() + t.size();
}

std::string replaceAll(std::string text, const std::string& what, const std::string& with) {
    size_t at = text.find(what);
    if (at != std::string::npos) text.replace(at, what.size(), with);
    return text;
}

Window* controlOf(CDataExchange* dx, int id) {
    return dx->PrepareCtrl(id);
}

template <typename T> void exchangeWhole(CDataExchange* dx, int id, T& value) {
    Window* control = dx->PrepareEditCtrl(id);
    if (control == nullptr) return;
    if (!dx->m_bSaveAndValidate) {
        control->setText(std::to_string(value));
        return;
    }
    long long parsed = 0;
    if (!parseWhole(control->text(), parsed) ||
        parsed < static_cast<long long>(std::numeric_limits<T>::min()) ||
        parsed > static_cast<long long>(std::numeric_limits<T>::max())) {
        dx->ShowMessage(kEnterNumber);
        dx->Fail();
    }
    value = static_cast<T>(parsed);
}

} // namespace

namespace platform {

std::string formatExchangeDouble(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

bool parseExchangeDouble(const std::string& text, double& value) {
    std::string t = trim(text);
    if (t.empty()) return false;
    for (char& c : t)
        if (c == ',') c = '.';
    const char* first = t.data();
    if (*first == '+') ++first;
    double parsed = 0;
    auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), parsed);
    if (ec != std::errc() || ptr != t.data() + t.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

} // namespace platform

CDataExchange::CDataExchange(CWnd* dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
    m_idLastControl = id;
    m_bEditLastControl = false;
    return m_pDlgWnd != nullptr && m_pDlgWnd->m_hWnd != nullptr ? m_pDlgWnd->m_hWnd->findChild(id)
                                                                : nullptr;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = true;
    return control;
}

void CDataExchange::ShowMessage(const std::string& text) {
    std::string caption = m_pDlgWnd != nullptr ? m_pDlgWnd->GetWindowText() : std::string();
    ::MessageBox(m_pDlgWnd, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_pDlgWnd != nullptr && m_pDlgWnd->m_hWnd != nullptr) {
        if (Window* control = m_pDlgWnd->m_hWnd->findChild(m_idLastControl))
            platform::setFocusWindow(control);
    }
    throw platform::DataExchangeFailure{};
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    Window* control = dx->PrepareEditCtrl(id);
    if (control == nullptr) return;
    if (dx->m_bSaveAndValidate)
        value = control->wrapper()->GetWindowText();
    else
        control->setText(value);
}

void DDX_Text(CDataExchange* dx, int id, double& value) {
    Window* control = dx->PrepareEditCtrl(id);
    if (control == nullptr) return;
    if (!dx->m_bSaveAndValidate) {
        control->setText(platform::formatExchangeDouble(value));
        return;
    }
    double parsed = 0;
    if (!platform::parseExchangeDouble(control->text(), parsed)) {
        dx->ShowMessage(kEnterNumber);
        dx->Fail();
    }
    value = parsed;
}

void DDX_Text(CDataExchange* dx, int id, float& value) {
    double d = value;
    DDX_Text(dx, id, d);
    if (dx->m_bSaveAndValidate) value = static_cast<float>(d);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    exchangeWhole(dx, id, value);
}
void DDX_Text(CDataExchange* dx, int id, long& value) {
    exchangeWhole(dx, id, value);
}
void DDX_Text(CDataExchange* dx, int id, short& value) {
    exchangeWhole(dx, id, value);
}
void DDX_Text(CDataExchange* dx, int id, unsigned int& value) {
    exchangeWhole(dx, id, value);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    Window* control = controlOf(dx, id);
    if (control == nullptr) return;
    if (dx->m_bSaveAndValidate)
        value = control->check();
    else
        control->setCheck(value);
}

void DDX_Radio(CDataExchange* dx, int firstId, int& value) {
    Window* first = controlOf(dx, firstId);
    if (first == nullptr || first->parent() == nullptr) return;
    const auto& siblings = first->parent()->children();
    size_t at = 0;
    while (at < siblings.size() && siblings[at].get() != first)
        ++at;
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (size_t i = at; i < siblings.size(); ++i) {
        Window* w = siblings[i].get();
        if (i > at && (w->style() & WS_GROUP)) break;
        if (w->kind() != ControlKind::RadioButton) continue;
        if (dx->m_bSaveAndValidate) {
            if (w->check() == BST_CHECKED) value = index;
        } else {
            w->setCheck(index == value ? BST_CHECKED : BST_UNCHECKED);
        }
        ++index;
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& value) {
    Window* control = controlOf(dx, id);
    if (control == nullptr) return;
    if (dx->m_bSaveAndValidate)
        value = control->curSel();
    else
        control->setCurSel(value);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& value) {
    DDX_CBIndex(dx, id, value);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd != nullptr) return;
    Window* window = controlOf(dx, id);
    if (window != nullptr) control.Attach(window);
}

void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minValue, double maxValue) {
    if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue)) return;
    std::string text = replaceAll(kEnterRange, "%1", platform::formatExchangeDouble(minValue));
    dx->ShowMessage(replaceAll(text, "%2", platform::formatExchangeDouble(maxValue)));
    dx->Fail();
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
    if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue)) return;
    std::string text = replaceAll(kEnterRange, "%1", std::to_string(minValue));
    dx->ShowMessage(replaceAll(text, "%2", std::to_string(maxValue)));
    dx->Fail();
}
