// The Win32 backend: keeps a native window for each window of the control model, writes the
// model's state into it, and turns what a person does in a native control into the same user
// action the automation API performs. It never includes <windows.h>: the native side is behind
// Bridge.h.
#include "platform/win32/Win32Backend.h"

#include "Bridge.h"

#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/grid.h"
#include "platform/model.h"
#include "platform/tabctrl.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::win32 {

namespace {

bridge::Kind nativeKind(const Window& window) {
    switch (window.kind()) {
    case ControlKind::Dialog:
        return bridge::Kind::Dialog;
    case ControlKind::Static:
        return bridge::Kind::Static;
    case ControlKind::GroupBox:
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return bridge::Kind::Button;
    case ControlKind::Edit:
        return bridge::Kind::Edit;
    case ControlKind::ComboBox:
        return bridge::Kind::ComboBox;
    case ControlKind::ListBox:
        return bridge::Kind::ListBox;
    case ControlKind::ListView:
        return bridge::Kind::ListView;
    case ControlKind::Tab:
        return bridge::Kind::Tab;
    case ControlKind::Grid:
        return bridge::Kind::Grid;
    case ControlKind::Custom:
        return bridge::Kind::Other;
    }
    return bridge::Kind::Other;
}

Window* model(bridge::Token token) {
    auto* window = static_cast<Window*>(token);
    return isWindow(window) ? window : nullptr;
}

class Win32Backend final : public Backend, private bridge::Events {
    struct Native {
        bridge::Native handle = nullptr;
        bridge::Kind kind = bridge::Kind::Other;
        const Window* ancestor = nullptr;         ///< the top-level dialog it lives in
        std::vector<bridge::Native> fromTemplate; ///< dialogs: the controls of the template
        std::vector<bool> bound;                  ///< which of them have their model window
        DWORD style = 0;                          ///< the styles last shown
        DWORD exStyle = 0;
    };

public:
    Win32Backend() { bridge::setEvents(this); }
    ~Win32Backend() override {
        bridge::setEvents(nullptr);
        for (auto& [window, native] : m_natives)
            if (window->parent() == nullptr) bridge::destroy(native.handle);
    }

    std::string name() const override { return "win32"; }

    SIZE dialogBaseUnits(const FontSpec& font) override {
        int cx = 0, cy = 0;
        bridge::baseUnits(font.face, font.pointSize, font.weight, font.italic, cx, cy);
        return SIZE{cx, cy};
    }

    RECT workArea(const Window* owner) override {
        bridge::Native shown = nullptr;
        if (owner != nullptr) shown = nativeWindow(topLevelOf(*owner));
        RECT area{};
        bridge::workArea(shown, area.left, area.top, area.right, area.bottom);
        if (area.Width() <= 0 || area.Height() <= 0) return Backend::workArea(owner);
        return area;
    }

    std::optional<POINT> hostOwnerOrigin() override {
        POINT origin{};
        if (!bridge::activeClientOrigin(origin.x, origin.y)) return std::nullopt;
        return origin;
    }

    void runModal(CDialog& dialog, const ModalScript& script) override {
        Window* window = dialog.GetSafeHwnd();
        auto found = window != nullptr ? m_natives.find(window) : m_natives.end();
        const bool shown = found != m_natives.end() && m_showWindows;
        if (found != m_natives.end()) checkBound(*window, found->second);
        if (shown) {
            bridge::showTopLevel(found->second.handle, true);
            showFocus();
        }
        if (script) {
            script(dialog);
        } else if (found != m_natives.end()) {
            m_running.push_back(&dialog);
            bool done = !dialog.IsModalRunning();
            m_done[&dialog] = &done;
            bridge::showTopLevel(found->second.handle, true);
            showFocus();
            bridge::runLoop(done);
            m_done.erase(&dialog);
            m_running.pop_back();
        } else {
            dialog.EndDialog(IDCANCEL);
        }
        if (isWindow(window)) {
            auto again = m_natives.find(window);
            if (again != m_natives.end()) bridge::showTopLevel(again->second.handle, false);
        }
    }

    /// Every control the dialog manager made from the template has its model window by now.
    void checkBound(const Window& dialog, const Native& native) {
        for (std::size_t i = 0; i < native.fromTemplate.size(); ++i)
            if (!native.bound[i]) {
                const bridge::Look look = bridge::look(native.fromTemplate[i]);
                m_errors.push_back(describe(dialog) + ": il controllo nativo " + look.className +
                                   " " + std::to_string(look.id) + " non ha finestra nel modello");
            }
    }

    void endModal(CDialog& dialog) override {
        auto it = m_done.find(&dialog);
        if (it != m_done.end()) *it->second = true;
    }

    int messageBox(CWnd* owner, const std::string& text, const std::string& caption,
                   UINT type) override {
        return bridge::messageBox(nativeOf(owner), text, caption, type);
    }

    void beep(UINT type) override { bridge::beep(type); }

    automation::FileDialogAnswer fileDialog(CWnd* owner, const automation::FileDialogCall& call,
                                            const FileChoiceCheck& check) override {
        std::string path = call.fileName;
        int filterIndex = call.filterIndex;
        for (;;) {
            if (!bridge::fileDialog(nativeOf(owner), call.open, call.title, call.filter,
                                    call.defaultExtension, call.initialFolder, call.flags, path,
                                    filterIndex))
                return automation::FileDialogAnswer{false, {}, filterIndex};
            if (std::optional<std::string> accepted = check(path, filterIndex))
                return automation::FileDialogAnswer{true, *accepted, filterIndex};
        }
    }

    void windowCreated(Window& window) override { ensureNative(window); }

    void windowDestroyed(Window& window) override {
        auto it = m_natives.find(&window);
        if (it == m_natives.end()) return;
        const bridge::Native handle = it->second.handle;
        // The native children go with their parent; forget them first.
        std::vector<const Window*> gone;
        for (auto& [w, native] : m_natives)
            if (w != &window && native.ancestor == &window) gone.push_back(w);
        for (const Window* w : gone)
            m_natives.erase(w);
        m_natives.erase(it);
        bridge::destroy(handle);
    }

    void windowChanged(Window& window, Change what, const ChangeRange&) override {
        auto it = m_natives.find(&window);
        if (it == m_natives.end()) return;
        show(window, it->second, what);
    }

    bridge::Native nativeWindow(const Window& window) const {
        auto it = m_natives.find(&window);
        return it != m_natives.end() ? it->second.handle : nullptr;
    }

    bool showNow(CDialog& dialog) {
        auto it = m_natives.find(dialog.GetSafeHwnd());
        if (it == m_natives.end()) return false;
        bridge::showTopLevel(it->second.handle, true);
        showFocus();
        return true;
    }

    bool shot(CDialog& dialog, const std::string& file) {
        auto it = m_natives.find(dialog.GetSafeHwnd());
        if (it == m_natives.end()) return false;
        bridge::showTopLevel(it->second.handle, true);
        showFocus();
        return bridge::saveShot(it->second.handle, file);
    }

private:
    static const Window& topLevelOf(const Window& window) {
        const Window* top = &window;
        while (top->parent() != nullptr)
            top = top->parent();
        return *top;
    }

    bridge::Native nativeOf(CWnd* owner) const {
        if (owner == nullptr || owner->GetSafeHwnd() == nullptr) return nullptr;
        const Window* window = owner->GetSafeHwnd();
        while (window->parent() != nullptr)
            window = window->parent();
        auto it = m_natives.find(window);
        return it != m_natives.end() ? it->second.handle : nullptr;
    }

    Native* ensureNative(Window& window) {
        if (auto it = m_natives.find(&window); it != m_natives.end()) return &it->second;
        Native* parent = nullptr;
        if (window.parent() != nullptr) {
            parent = ensureNative(*window.parent());
            if (parent == nullptr) return nullptr;
        }
        Native native;
        native.kind = nativeKind(window);
        native.ancestor = parent != nullptr ? parent->ancestor : &window;
        if (window.kind() == ControlKind::Dialog && window.dialogTemplate() != nullptr) {
            // A dialog opened from another is owned by it, and so stays above it.
            bridge::Native owner = nullptr;
            if (parent == nullptr && window.owner() != nullptr)
                owner = nativeWindow(topLevelOf(*window.owner()));
            native.handle =
                bridge::createDialog(&window, window.dialogTemplate()->id,
                                     parent != nullptr ? parent->handle : nullptr, owner);
            if (native.handle != nullptr) {
                native.fromTemplate = bridge::templateControls(native.handle);
                native.bound.assign(native.fromTemplate.size(), false);
            }
        }
        if (native.handle == nullptr && parent != nullptr && window.kind() != ControlKind::Dialog)
            native.handle = templateControl(window, *parent);
        if (native.handle == nullptr) {
            // A window the program makes at run time (a sheet, a grid): one of its own, in the
            // place among its siblings that the model gives it.
            const RECT r = window.rect();
            bridge::Native parentHandle = parent != nullptr ? parent->handle : nullptr;
            if (window.kind() == ControlKind::Dialog)
                native.handle = bridge::createRuntimeDialog(
                    &window, parentHandle, window.id(), window.text(), window.style(),
                    window.exStyle(), r.left, r.top, r.Width(), r.Height());
            else
                native.handle =
                    bridge::createControl(&window, native.kind, window.className(), parentHandle,
                                          window.id(), window.text(), window.style() & ~WS_VISIBLE,
                                          window.exStyle(), r.left, r.top, r.Width(), r.Height());
            if (native.handle != nullptr && parent != nullptr)
                bridge::placeAfter(native.handle, previousSibling(window));
        }
        if (native.handle == nullptr) {
            error(window, "nessuna finestra nativa");
            return nullptr;
        }
        native.style = window.style();
        native.exStyle = window.exStyle();
        Native& stored = m_natives[&window] = std::move(native);
        showAll(window, stored);
        // A top-level dialog where the model placed it (the dialog manager counts a template's
        // position from the screen's corner).
        if (window.parent() == nullptr) show(window, stored, Change::Rect);
        return &stored;
    }

    /// The control the dialog manager made from the template for \p window: the first one not
    /// yet bound with the same id and class, whatever the order in which the program makes
    /// its windows. A template control of that id and another class is an error.
    bridge::Native templateControl(Window& window, Native& parent) {
        for (std::size_t i = 0; i < parent.fromTemplate.size(); ++i) {
            if (parent.bound[i]) continue;
            const bridge::Look look = bridge::look(parent.fromTemplate[i]);
            if (!sameId(look.id, window.id())) continue;
            if (!sameClass(look.className, window.className())) {
                if (sameId(window.id(), -1)) continue; // unnamed labels
                error(window, "la finestra nativa è di classe " + look.className);
                return nullptr;
            }
            parent.bound[i] = true;
            bridge::bind(parent.fromTemplate[i], &window, nativeKind(window));
            return parent.fromTemplate[i];
        }
        return nullptr;
    }

    /// Template ids are 16 bits: the unnamed -1 reads back as 0xFFFF.
    static bool sameId(int a, int b) { return (a & 0xFFFF) == (b & 0xFFFF); }

    static bool sameClass(const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    }

    /// The native window of the model sibling made just before \p window (null: none).
    bridge::Native previousSibling(const Window& window) const {
        bridge::Native previous = nullptr;
        for (const auto& child : window.parent()->children()) {
            if (child.get() == &window) break;
            if (auto it = m_natives.find(child.get()); it != m_natives.end())
                previous = it->second.handle;
        }
        return previous;
    }

    void error(const Window& window, const std::string& what) {
        m_errors.push_back(describe(window) + ": " + what);
    }

public:
    static std::string describe(const Window& window) {
        return window.className() + " " + std::to_string(window.id()) + " \"" + window.text() +
               "\"";
    }

    /// Every difference between the native windows below \p root and the model.
    std::vector<std::string> check(const Window& root) const {
        std::vector<std::string> found = m_errors;
        auto it = m_natives.find(&root);
        if (it == m_natives.end()) {
            found.push_back(describe(root) + ": nessuna finestra nativa");
            return found;
        }
        checkChildren(root, it->second.handle, found);
        return found;
    }

private:
    void checkChildren(const Window& parent, bridge::Native parentHandle,
                       std::vector<std::string>& found) const {
        // A push button with the focus is shown as the default while it has it.
        bridge::Native focus = bridge::focus();
        const bool buttonFocused = focus != nullptr && bridge::look(focus).className == "Button" &&
                                   (bridge::look(focus).style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
        std::vector<bridge::Native> seen;
        for (const auto& child : parent.children()) {
            const Window& w = *child;
            auto it = m_natives.find(&w);
            if (it == m_natives.end()) {
                found.push_back(describe(w) + ": nessuna finestra nativa");
                continue;
            }
            seen.push_back(it->second.handle);
            const bridge::Look look = bridge::look(it->second.handle);
            auto differs = [&](const std::string& what, const std::string& shown,
                               const std::string& wanted) {
                found.push_back(describe(w) + ": " + what + " nativo " + shown + ", nel modello " +
                                wanted);
            };
            if (look.token != &w) differs("legame", "altro", "questa finestra");
            if (!sameId(look.id, w.id()))
                differs("id", std::to_string(look.id), std::to_string(w.id()));
            if (!sameClass(look.className, w.className()))
                differs("classe", look.className, w.className());
            const bool list = w.kind() == ControlKind::ComboBox ||
                              w.kind() == ControlKind::ListBox ||
                              w.kind() == ControlKind::ListView || w.kind() == ControlKind::Grid ||
                              w.kind() == ControlKind::Tab;
            if (!list && look.text != w.text()) differs("testo", look.text, w.text());
            const RECT r = w.rect();
            // A closed drop-down list is as high as its edit field; the template gives the
            // height of the open list. A list box shows whole entries: the system takes off
            // what a part of one would need.
            const bool sameHeight =
                w.kind() == ControlKind::ComboBox ||
                (w.kind() == ControlKind::ListBox && !(w.style() & LBS_NOINTEGRALHEIGHT) &&
                 look.height <= r.Height()) ||
                look.height == r.Height();
            if (look.x != r.left || look.y != r.top || look.width != r.Width() || !sameHeight)
                differs("rettangolo",
                        std::to_string(look.x) + "," + std::to_string(look.y) + " " +
                            std::to_string(look.width) + "x" + std::to_string(look.height),
                        std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                            std::to_string(r.Width()) + "x" + std::to_string(r.Height()));
            auto flag = [&](const char* what, bool shown, bool wanted) {
                if (shown != wanted) differs(what, shown ? "sì" : "no", wanted ? "sì" : "no");
            };
            flag("visibile", (look.style & WS_VISIBLE) != 0, w.visible());
            flag("abilitato", (look.style & WS_DISABLED) == 0, w.enabled());
            flag("tabulazione", (look.style & WS_TABSTOP) != 0, (w.style() & WS_TABSTOP) != 0);
            if (w.kind() == ControlKind::PushButton && !buttonFocused)
                flag("pulsante predefinito", look.defaultButton,
                     (w.style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            if (w.kind() == ControlKind::Dialog)
                flag("WS_EX_CONTROLPARENT", (look.exStyle & WS_EX_CONTROLPARENT) != 0,
                     (w.exStyle() & WS_EX_CONTROLPARENT) != 0);
            if (w.kind() == ControlKind::Dialog || it->second.kind == bridge::Kind::Dialog)
                checkChildren(w, it->second.handle, found);
        }
        // Natives nobody in the model stands for (a grid's editor and a combo box's parts are
        // the control's own).
        for (bridge::Native n : bridge::children(parentHandle)) {
            if (std::find(seen.begin(), seen.end(), n) != seen.end()) continue;
            const bridge::Look look = bridge::look(n);
            found.push_back("finestra nativa " + look.className + " " + std::to_string(look.id) +
                            " \"" + look.text + "\" senza finestra nel modello");
        }
    }

    void showAll(Window& window, Native& native) {
        for (Change what :
             {Change::Text, Change::Enabled, Change::ReadOnly, Change::Check, Change::Columns,
              Change::Items, Change::Selection, Change::Tabs, Change::Visible, Change::Balloon})
            show(window, native, what);
    }

    void show(Window& window, Native& native, Change what) {
        const bridge::Native h = native.handle;
        switch (what) {
        case Change::Text:
            if (window.kind() != ControlKind::ComboBox && window.kind() != ControlKind::ListBox &&
                window.kind() != ControlKind::ListView)
                bridge::setText(h, window.text());
            if (window.kind() == ControlKind::Edit) showEditSelection(window, h);
            break;
        case Change::Enabled:
            bridge::setEnabled(h, window.enabled());
            break;
        case Change::Visible:
            // Top-level dialogs are shown by runModal only.
            if (window.parent() != nullptr) bridge::setVisible(h, window.visible());
            break;
        case Change::ReadOnly:
            if (window.kind() == ControlKind::Edit) bridge::setReadOnly(h, window.readOnly());
            break;
        case Change::Check:
            if (window.kind() == ControlKind::CheckBox || window.kind() == ControlKind::RadioButton)
                bridge::setCheck(h, window.check());
            break;
        case Change::Columns:
            if (window.kind() == ControlKind::Grid) showGrid(window, native);
            if (window.kind() == ControlKind::ListView) {
                std::vector<std::string> headings;
                std::vector<int> widths;
                for (const Column& c : window.columns()) {
                    headings.push_back(c.heading);
                    widths.push_back(c.width);
                }
                bridge::setListViewColumns(h, headings, widths);
            }
            break;
        case Change::Items:
        case Change::ItemsInserted:
        case Change::ItemsRemoved:
            if (window.kind() == ControlKind::Grid) showGrid(window, native);
            showItems(window, native);
            showSelection(window, native);
            break;
        case Change::Selection:
            if (window.kind() == ControlKind::Edit)
                showEditSelection(window, h);
            else
                showSelection(window, native);
            break;
        case Change::Balloon:
            if (window.kind() == ControlKind::Edit) {
                const Balloon& balloon = window.balloon();
                std::string title, text;
                const bool shown = bridge::balloonShown(h, title, text);
                if (balloon.shown() != shown || title != balloon.title || text != balloon.text)
                    bridge::showBalloon(h, balloon.title, balloon.text, balloon.icon);
            }
            break;
        case Change::Tabs:
            if (auto* tabs = window.stateAs<TabState>()) {
                std::vector<std::string> labels;
                for (const TabState::Tab& t : tabs->tabs)
                    labels.push_back(t.text);
                bridge::setTabs(h, labels, tabs->current);
            }
            break;
        case Change::Rect: {
            const RECT r = window.rect();
            if (window.parent() != nullptr)
                bridge::setRect(h, r.left, r.top, r.Width(), r.Height());
            else
                bridge::moveTopLevel(h, r.left, r.top);
            break;
        }
        case Change::Focus:
            if (focusWindow() == &window) {
                bridge::setFocus(h);
                if (window.kind() != ControlKind::PushButton) showDefaultButtons(window);
            }
            break;
        case Change::Cells:
        case Change::RowsInserted:
        case Change::RowsRemoved:
        case Change::ColumnsInserted:
        case Change::ColumnsRemoved:
        case Change::InPlaceEdit:
            if (window.kind() == ControlKind::Grid)
                showGrid(window, native);
            else
                bridge::repaint(h);
            break;
        case Change::Style: {
            const DWORD mask = native.style ^ window.style();
            const DWORD exMask = native.exStyle ^ window.exStyle();
            native.style = window.style();
            native.exStyle = window.exStyle();
            if (mask != 0 || exMask != 0)
                bridge::setStyle(h, native.kind, window.style(), mask, window.exStyle(), exMask);
            break;
        }
        }
    }

    /// The model's caret and selection in the native edit, once it shows the model's text.
    static void showEditSelection(const Window& edit, bridge::Native h) {
        if (bridge::look(h).text != edit.text()) return;
        bridge::setEditSelection(h, edit.selStart(), edit.selEnd());
    }

    void showItems(Window& window, Native& native) {
        if (window.kind() == ControlKind::ListView) {
            std::vector<std::vector<std::string>> rows;
            for (const Item& item : window.items()) {
                std::vector<std::string> row{item.text};
                row.insert(row.end(), item.subItems.begin(), item.subItems.end());
                rows.push_back(std::move(row));
            }
            bridge::setListViewItems(native.handle, rows);
        } else if (window.kind() == ControlKind::ComboBox ||
                   window.kind() == ControlKind::ListBox) {
            std::vector<std::string> texts;
            for (const Item& item : window.items())
                texts.push_back(item.text);
            bridge::setItems(native.handle, native.kind, texts);
        }
    }

    void showSelection(Window& window, Native& native) {
        if (window.kind() != ControlKind::ComboBox && window.kind() != ControlKind::ListBox &&
            window.kind() != ControlKind::ListView)
            return;
        if (window.multipleSelection() || window.kind() == ControlKind::ListView) {
            std::vector<bool> selected;
            for (int i = 0; i < window.itemCount(); ++i)
                selected.push_back(window.isSelected(i));
            if (window.kind() == ControlKind::ListView && !window.multipleSelection())
                bridge::setSelection(native.handle, native.kind, window.curSel());
            else
                bridge::setMultiSelection(native.handle, native.kind, selected);
        } else {
            bridge::setSelection(native.handle, native.kind, window.curSel());
        }
    }

    // After a user action the model is what counts: show it again where the native control
    // moved on its own (an auto check box that toggled, a refused tab).
    void resync(Window* window) {
        if (window == nullptr || !isWindow(window)) return;
        auto it = m_natives.find(window);
        if (it != m_natives.end()) showAll(*window, it->second);
    }

    // --- bridge::Events: what a person did ----------------------------------------------------
    /// Performs a person's action on the model window of \p token, then shows the model again
    /// where the native control moved on its own.
    template <typename Action> void act(bridge::Token token, Action action) {
        if (Window* w = model(token)) {
            action(*w);
            resync(w);
        }
    }

    void clicked(bridge::Token token) override {
        act(token, [](Window& w) { userClick(w); });
    }
    void textEdited(bridge::Token token, const std::string& text, int selStart,
                    int selEnd) override {
        act(token, [&](Window& w) {
            if (w.text() != text) userEdited(w, text, selStart, selEnd);
        });
    }
    void textSelected(bridge::Token token, int selStart, int selEnd) override {
        Window* w = model(token);
        if (w == nullptr || w->kind() != ControlKind::Edit) return;
        if (selStart == w->selStart() && selEnd == w->selEnd()) return;
        // A selection of a text that is not the model's yet: the edit's change follows.
        auto it = m_natives.find(w);
        if (it == m_natives.end() || bridge::look(it->second.handle).text != w->text()) return;
        userSelectText(*w, selStart, selEnd);
    }
    void selected(bridge::Token token, int index) override {
        act(token, [index](Window& w) { userSelect(w, index); });
    }
    void moved(bridge::Token token, int index) override {
        act(token, [index](Window& w) { userMoveSelection(w, index); });
    }
    void doubleClicked(bridge::Token token, int index) override {
        if (Window* w = model(token)) userDoubleClick(*w, index);
    }
    bool tabSelecting(bridge::Token token, int index) override {
        Window* w = model(token);
        if (w == nullptr) return false;
        const bool moved = userSelectTab(*w, index);
        resync(w);
        return moved;
    }
    void enter(bridge::Token token) override {
        if (Window* w = model(token)) userEnter(*w);
    }
    void escape(bridge::Token token) override {
        if (Window* w = model(token)) userEscape(*w);
    }
    void close(bridge::Token token) override {
        if (Window* w = model(token)) userClose(*w);
    }
    void focused(bridge::Token token) override {
        Window* w = model(token);
        if (w == nullptr) return;
        if (focusWindow() != w) userFocus(*w);
        // The dialog manager shows a focused push button as the default while it has the
        // focus; elsewhere the default is the model's again, however the focus came there.
        if (w->kind() != ControlKind::PushButton) showDefaultButtons(*w);
    }

    void showDefaultButtons(const Window& inside) {
        const Window* root = &inside;
        while (root->parent() != nullptr)
            root = root->parent();
        showDefaultButtonsBelow(*root);
    }
    void showDefaultButtonsBelow(const Window& window) {
        for (const auto& child : window.children()) {
            if (child->kind() == ControlKind::PushButton) {
                if (auto it = m_natives.find(child.get()); it != m_natives.end())
                    bridge::setStyle(it->second.handle, bridge::Kind::Button, child->style(),
                                     BS_TYPEMASK, 0, 0);
            }
            showDefaultButtonsBelow(*child);
        }
    }
    void nextTab(bridge::Token token, bool backwards) override {
        if (Window* w = model(token)) {
            userNextTab(*w, backwards);
            showFocus();
        }
    }

    /// The model's focus on the native windows (the dialog manager may have placed its own).
    void showFocus() {
        Window* focus = focusWindow();
        if (focus == nullptr) return;
        auto it = m_natives.find(focus);
        if (it != m_natives.end()) bridge::setFocus(it->second.handle);
    }

    // --- Grids ----------------------------------------------------------------------------------
    static GridState* gridOf(bridge::Token token) {
        Window* w = model(token);
        return w != nullptr ? w->stateAs<GridState>() : nullptr;
    }

    bridge::GridShape gridShape(bridge::Token token) override {
        bridge::GridShape shape;
        const GridState* g = gridOf(token);
        if (g == nullptr) return shape;
        shape.rows = g->rowCount();
        shape.columns = g->columnCount();
        shape.fixedRows = g->fixedRows();
        for (int c = 0; c < g->columnCount(); ++c) {
            shape.widths.push_back(g->column(c).width);
            shape.headings.push_back(g->column(c).heading);
            shape.headingFormats.push_back(g->column(c).format);
        }
        // Numbered rows without a width of their own get room for a few digits.
        shape.rowHeaderWidth = g->columnWidth(-1) > 0 ? g->columnWidth(-1)
                               : g->rowNumbers()      ? 30
                                                      : 0;
        shape.focusRow = g->focusRow();
        shape.focusColumn = g->focusColumn();
        return shape;
    }
    bridge::GridCellLook gridCell(bridge::Token token, int row, int column) override {
        bridge::GridCellLook look;
        const GridState* g = gridOf(token);
        const GridCell* cell = g != nullptr ? g->cell(row, column) : nullptr;
        if (cell == nullptr) return look;
        look.text = cell->text;
        look.background = g->shownBackground(row, column);
        look.foreground = g->shownForeground(row, column);
        look.format = g->format(row, column);
        look.selected = (g->state(row, column) & GVIS_SELECTED) != 0;
        return look;
    }
    std::string gridRowLabel(bridge::Token token, int row) override {
        const GridState* g = gridOf(token);
        return g != nullptr ? g->rowLabel(row) : std::string();
    }
    std::string gridRowMessage(bridge::Token token, int row) override {
        const GridState* g = gridOf(token);
        return g != nullptr && row >= 0 && row < g->rowCount() ? g->rowMessage(row) : std::string();
    }
    void gridClicked(bridge::Token token, int row, int column) override {
        act(token, [row, column](Window& w) { userGridClick(w, row, column); });
    }
    void gridDoubleClicked(bridge::Token token, int row, int column) override {
        act(token, [row, column](Window& w) { userGridBeginEdit(w, row, column); });
    }
    void gridKey(bridge::Token token, bridge::GridKey key) override {
        Window* w = model(token);
        GridState* g = gridOf(token);
        if (w == nullptr || g == nullptr) return;
        const int row = g->focusRow(), column = g->focusColumn();
        switch (key) {
        case bridge::GridKey::Up:
            if (row > g->fixedRows()) userGridMove(*w, row - 1, column);
            break;
        case bridge::GridKey::Down:
            if (row < 0)
                userGridMove(*w, g->fixedRows(), std::max(column, g->fixedColumns()));
            else if (row + 1 < g->rowCount())
                userGridMove(*w, row + 1, column);
            break;
        case bridge::GridKey::Left:
            if (column > g->fixedColumns()) userGridMove(*w, row, column - 1);
            break;
        case bridge::GridKey::Right:
            if (row >= 0 && column + 1 < g->columnCount()) userGridMove(*w, row, column + 1);
            break;
        case bridge::GridKey::Edit:
            if (row >= 0) userGridBeginEdit(*w, row, column);
            break;
        case bridge::GridKey::Enter:
        case bridge::GridKey::Escape:
            // The grid keeps the key, as the model decides for the control with the focus.
            if (focusWindow() != w) userFocus(*w);
            if (key == bridge::GridKey::Enter)
                userEnter(*w);
            else
                userEscape(*w);
            if (!isWindow(w)) return;
            break;
        }
        resync(w);
    }
    void gridTyped(bridge::Token token, const std::string& text) override {
        Window* w = model(token);
        GridState* g = gridOf(token);
        if (w == nullptr || g == nullptr || g->focusRow() < 0) return;
        // Typing over a cell opens its editor with what was typed in place of the old text.
        if (userGridBeginEdit(*w, g->focusRow(), g->focusColumn()) && isWindow(w)) {
            GridState* open = w->stateAs<GridState>();
            if (open != nullptr && open->edit().kind == GridEditor::Text)
                userGridEditText(*w, text);
        }
        resync(w);
    }
    void gridEditText(bridge::Token token, const std::string& text) override {
        act(token, [&text](Window& w) { userGridEditText(w, text); });
    }
    void gridPicked(bridge::Token token, int index) override {
        act(token, [index](Window& w) { userGridPick(w, index); });
    }
    void gridEndEdit(bridge::Token token, bool commit) override {
        act(token, [commit](Window& w) { userGridEndEdit(w, commit); });
    }

    /// The grid's rows, cells and editor as the model has them.
    void showGrid(Window& window, Native& native) {
        const GridState* g = window.stateAs<GridState>();
        if (g == nullptr) return;
        bridge::gridChanged(native.handle);
        bridge::GridEditorLook look;
        const GridEdit& edit = g->edit();
        look.active = edit.active;
        look.row = edit.row;
        look.column = edit.column;
        look.dropDown = edit.kind == GridEditor::DropDown;
        look.text = edit.text;
        look.choices = edit.choices;
        look.choice = edit.choice();
        look.wholeTextSelected = edit.wholeTextSelected;
        look.selectAllCount = edit.selectAllCount;
        look.balloon = edit.balloon;
        bridge::showGridEditor(native.handle, look);
    }

    std::unordered_map<const Window*, Native> m_natives;
    std::vector<std::string> m_errors; ///< bindings that failed, as a check reports them
    std::vector<CDialog*> m_running;
    std::unordered_map<const CDialog*, bool*> m_done;
    bool m_showWindows = false;

    friend bool platform::win32::saveShot(CDialog&, const std::string&);
};

} // namespace

void useWin32Backend() {
    setBackend(std::make_unique<Win32Backend>());
}

void setTemplateModule(void* module) {
    bridge::setTemplateModule(module);
}

void* nativeWindow(const platform::Window& window) {
    auto* backend = dynamic_cast<Win32Backend*>(&platform::backend());
    return backend != nullptr ? backend->nativeWindow(window) : nullptr;
}

bool gridCellCentre(const platform::Window& grid, int row, int column, int& x, int& y) {
    bridge::Native native = nativeWindow(grid);
    int left = 0, top = 0, width = 0, height = 0;
    if (native == nullptr || !bridge::gridCellRect(native, row, column, left, top, width, height))
        return false;
    x = left + width / 2;
    y = top + height / 2;
    return true;
}

bool show(CDialog& dialog) {
    auto* backend = dynamic_cast<Win32Backend*>(&platform::backend());
    return backend != nullptr && backend->showNow(dialog);
}

std::vector<std::string> checkNative(CDialog& dialog) {
    auto* backend = dynamic_cast<Win32Backend*>(&platform::backend());
    if (backend == nullptr || dialog.GetSafeHwnd() == nullptr) return {};
    return backend->check(*dialog.GetSafeHwnd());
}

bool preTranslate(void* message) {
    return bridge::preTranslate(message);
}

bool shownBalloon(void* native, std::string& title, std::string& text) {
    return native != nullptr && bridge::balloonShown(native, title, text);
}

bool saveShot(CDialog& dialog, const std::string& file) {
    auto* backend = dynamic_cast<Win32Backend*>(&platform::backend());
    return backend != nullptr && backend->shot(dialog, file);
}

} // namespace platform::win32
