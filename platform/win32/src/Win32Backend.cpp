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
#include <memory>
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

    void runModal(CDialog& dialog, const ModalScript& script) override {
        Window* window = dialog.GetSafeHwnd();
        auto found = window != nullptr ? m_natives.find(window) : m_natives.end();
        const bool shown = found != m_natives.end() && m_showWindows;
        if (shown) bridge::showTopLevel(found->second.handle, true);
        if (script) {
            script(dialog);
        } else if (found != m_natives.end()) {
            m_running.push_back(&dialog);
            bool done = !dialog.IsModalRunning();
            m_done[&dialog] = &done;
            bridge::showTopLevel(found->second.handle, true);
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

    bool shot(CDialog& dialog, const std::string& file) {
        auto it = m_natives.find(dialog.GetSafeHwnd());
        if (it == m_natives.end()) return false;
        bridge::showTopLevel(it->second.handle, true);
        return bridge::saveShot(it->second.handle, file);
    }

private:
    struct Native {
        bridge::Native handle = nullptr;
        bridge::Kind kind = bridge::Kind::Other;
        const Window* ancestor = nullptr;         ///< the top-level dialog it lives in
        std::vector<bridge::Native> fromTemplate; ///< dialogs: controls not yet bound
        std::size_t nextTemplateControl = 0;
    };

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
            native.handle = bridge::createDialog(&window, window.dialogTemplate()->id,
                                                 parent != nullptr ? parent->handle : nullptr);
            if (native.handle != nullptr)
                native.fromTemplate = bridge::templateControls(native.handle);
        }
        if (native.handle == nullptr && parent != nullptr &&
            parent->nextTemplateControl < parent->fromTemplate.size()) {
            // The dialog manager made the controls of the template, in template order.
            native.handle = parent->fromTemplate[parent->nextTemplateControl++];
            bridge::bind(native.handle, &window, native.kind);
        }
        if (native.handle == nullptr) {
            const RECT r = window.rect();
            native.handle =
                bridge::createControl(&window, native.kind, window.className(),
                                      parent != nullptr ? parent->handle : nullptr, window.id(),
                                      window.text(), window.style() & ~WS_VISIBLE, window.exStyle(),
                                      r.left, r.top, r.Width(), r.Height());
        }
        if (native.handle == nullptr) return nullptr;
        Native& stored = m_natives[&window] = std::move(native);
        showAll(window, stored);
        return &stored;
    }

    void showAll(Window& window, Native& native) {
        for (Change what :
             {Change::Text, Change::Enabled, Change::ReadOnly, Change::Check, Change::Columns,
              Change::Items, Change::Selection, Change::Tabs, Change::Visible})
            show(window, native, what);
    }

    void show(Window& window, Native& native, Change what) {
        const bridge::Native h = native.handle;
        switch (what) {
        case Change::Text:
            if (window.kind() != ControlKind::ComboBox && window.kind() != ControlKind::ListBox &&
                window.kind() != ControlKind::ListView)
                bridge::setText(h, window.text());
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
            showSelection(window, native);
            break;
        case Change::Tabs:
            if (auto* tabs = window.stateAs<TabState>()) {
                std::vector<std::string> labels;
                for (const TabState::Tab& t : tabs->tabs)
                    labels.push_back(t.text);
                bridge::setTabs(h, labels, tabs->current);
            }
            break;
        case Change::Rect:
            if (window.parent() != nullptr) {
                const RECT r = window.rect();
                bridge::setRect(h, r.left, r.top, r.Width(), r.Height());
            }
            break;
        case Change::Focus:
            if (focusWindow() == &window) bridge::setFocus(h);
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
        case Change::Style:
            break;
        }
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
    void textEdited(bridge::Token token, const std::string& text) override {
        act(token, [&text](Window& w) {
            if (w.text() != text) userSetText(w, text);
        });
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
        if (Window* w = model(token); w != nullptr && focusWindow() != w) userFocus(*w);
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
        bridge::showGridEditor(native.handle, look);
    }

    std::unordered_map<const Window*, Native> m_natives;
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

bool saveShot(CDialog& dialog, const std::string& file) {
    auto* backend = dynamic_cast<Win32Backend*>(&platform::backend());
    return backend != nullptr && backend->shot(dialog, file);
}

} // namespace platform::win32
