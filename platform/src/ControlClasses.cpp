// The control registry and the registrations of the standard window classes.
#include "platform/backend.h"
#include "platform/controlclass.h"
#include "platform/grid.h"
#include "platform/wnd.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace platform {

// The classes that live in files of their own.
ControlClass tabControlClass(); // TabCtrl.cpp

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

template <typename Wrapper> std::function<std::unique_ptr<CWnd>()> wrapperOf() {
    return [] { return std::make_unique<Wrapper>(); };
}

ControlKind buttonKind(DWORD style) {
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return ControlKind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return ControlKind::RadioButton;
    case BS_GROUPBOX:
        return ControlKind::GroupBox;
    default:
        return ControlKind::PushButton;
    }
}

ControlClass simpleClass(std::string name, ControlKind kind,
                         std::function<std::unique_ptr<CWnd>()> wrapper) {
    return ControlClass{std::move(name), [kind](DWORD) { return kind; }, {}, std::move(wrapper)};
}

template <typename State> std::unique_ptr<ControlState> stateOf(Window&) {
    return std::make_unique<State>();
}

ControlClass listClass(std::string name, ControlKind kind,
                       std::function<std::unique_ptr<CWnd>()> wrapper) {
    ControlClass c = simpleClass(std::move(name), kind, std::move(wrapper));
    c.makeState = stateOf<ListState>;
    return c;
}

class Registry {
public:
    Registry() {
        add({"Button", buttonKind, stateOf<ButtonState>, wrapperOf<CButton>()});
        add(simpleClass("Static", ControlKind::Static, wrapperOf<CStatic>()));
        add(simpleClass("Edit", ControlKind::Edit, wrapperOf<CEdit>()));
        add(listClass("ComboBox", ControlKind::ComboBox, wrapperOf<CComboBox>()));
        add(listClass("ListBox", ControlKind::ListBox, wrapperOf<CListBox>()));
        add(listClass("SysListView32", ControlKind::ListView, wrapperOf<CListCtrl>()));
        // A dialog made at run time rather than from a template (a property sheet).
        add(simpleClass("#32770", ControlKind::Dialog, wrapperOf<CWnd>()));
        add(tabControlClass());
        add(gridControlClass());
    }

    void add(ControlClass controlClass) {
        std::string key = lower(controlClass.name);
        m_classes[key] = std::move(controlClass);
    }

    const ControlClass* find(const std::string& name) const {
        auto found = m_classes.find(lower(name));
        return found != m_classes.end() ? &found->second : nullptr;
    }

private:
    std::map<std::string, ControlClass> m_classes;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

void registerControlClass(ControlClass controlClass) {
    registry().add(std::move(controlClass));
}

const ControlClass* findControlClass(const std::string& name) {
    return registry().find(name);
}

Window* createControl(Window& parent, const std::string& className, int id, const std::string& text,
                      DWORD style, DWORD exStyle, const RECT& rect) {
    const ControlClass* found = findControlClass(className);
    ControlKind kind = found != nullptr && found->kind ? found->kind(style) : ControlKind::Custom;
    auto window = std::make_unique<Window>(kind, id, className, style, exStyle, rect, &parent);
    if (found != nullptr && found->makeState) window->setState(found->makeState(*window));
    window->setText(text);
    Window* created = parent.addChild(std::move(window));
    backend().windowCreated(*created);
    return created;
}

std::unique_ptr<CWnd> makeWrapperFor(const Window& window) {
    const ControlClass* found = findControlClass(window.className());
    if (found != nullptr && found->makeWrapper) return found->makeWrapper();
    return std::make_unique<CWnd>();
}

} // namespace platform
