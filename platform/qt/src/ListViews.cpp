// Drop-down lists, list boxes and report-view lists. The selection shown is the model's: the
// list widgets never select by themselves, they report which entry the user pressed, typed
// to or double-clicked, and the model decides.
#include "Internal.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QTreeWidget>

#include <algorithm>
#include <functional>

namespace platform::qt {

namespace {

/// Whether a widget showing \p shown rows can take the ranged change \p range of the model's
/// items (else the whole list is shown again).
bool rangeFits(const ChangeRange& range, int shown, int modelCount, Change what) {
    if (range.first < 0 || range.last < range.first) return false;
    int n = range.last - range.first + 1;
    switch (what) {
    case Change::ItemsInserted:
        return shown + n == modelCount && range.first <= shown;
    case Change::ItemsRemoved:
        return shown - n == modelCount && range.last < shown;
    case Change::Items:
        return shown == modelCount && range.last < shown;
    default:
        return false;
    }
}

// --- Drop-down list ---------------------------------------------------------------------------

class ComboBoxView final : public View {
public:
    ComboBoxView(Window& window, QComboBox* combo) : View(window, combo), m_combo(combo) {
        combo->setEditable(false);
        QObject::connect(combo, &QComboBox::activated, context(), [this](int index) {
            act([index](Window& w) { return userSelect(w, index); });
        });
    }

    /// One line high, as the original shows it: the template's height is that of the list
    /// when it is dropped down.
    QRect geometry() const override {
        QRect r = View::geometry();
        r.setHeight(std::min(r.height(), lineHeight()));
        return r;
    }

    void updatePart(Change what, const ChangeRange& range) override {
        if (range.all() || !inRange(range, what)) return update(what);
        const std::vector<Item>& items = window().items();
        switch (what) {
        case Change::ItemsInserted:
            for (int i = range.first; i <= range.last; ++i)
                m_combo->insertItem(i, toQString(items[static_cast<size_t>(i)].text));
            showSelection();
            break;
        case Change::ItemsRemoved:
            for (int i = range.last; i >= range.first; --i)
                m_combo->removeItem(i);
            showSelection();
            break;
        case Change::Items:
            for (int i = range.first; i <= range.last; ++i)
                m_combo->setItemText(i, toQString(items[static_cast<size_t>(i)].text));
            break;
        default:
            update(what);
            break;
        }
    }

    void update(Change what) override {
        switch (what) {
        case Change::Items:
        case Change::ItemsInserted:
        case Change::ItemsRemoved: {
            QStringList texts;
            for (const Item& item : window().items())
                texts << toQString(item.text);
            QStringList shown;
            for (int i = 0; i < m_combo->count(); ++i)
                shown << m_combo->itemText(i);
            if (texts != shown) {
                m_combo->clear();
                m_combo->addItems(texts);
            }
            showSelection();
            break;
        }
        case Change::Selection:
            showSelection();
            break;
        case Change::Rect: {
            View::update(what);
            int listHeight = window().rect().Height() - lineHeight();
            int itemHeight = std::max(1, QFontMetrics(m_combo->font()).height());
            m_combo->setMaxVisibleItems(std::max(1, listHeight / itemHeight));
            break;
        }
        default:
            View::update(what);
            break;
        }
    }

private:
    int lineHeight() const { return window().baseUnits().cy + 8; }

    /// True when the widget's rows and the model's items differ only by the change reported.
    bool inRange(const ChangeRange& range, Change what) const {
        return rangeFits(range, m_combo->count(), window().itemCount(), what);
    }

    void showSelection() {
        int sel = window().curSel();
        if (m_combo->currentIndex() != sel) m_combo->setCurrentIndex(sel);
    }

    QComboBox* m_combo;
};

// --- Lists whose selection belongs to the model -----------------------------------------------

/// What a person does to the entries of a list widget.
struct ListInput {
    std::function<void(int row)> pressed;       ///< left button down on a row (-1: no row)
    std::function<void(int row)> doubleClicked; ///< double click on a row
    std::function<void(int row)> moved;         ///< the keyboard moved the current row
    std::function<void(int row)> spacePressed;  ///< Space on the current row
};

template <class Base> class ModelSelectedList final : public Base {
public:
    using Base::Base;
    ListInput input;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex&,
                                                         const QEvent*) const override {
        return QItemSelectionModel::NoUpdate;
    }

    void mousePressEvent(QMouseEvent* event) override {
        Base::mousePressEvent(event);
        if (event->button() == Qt::LeftButton && input.pressed)
            input.pressed(rowAt(event->position().toPoint()));
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        int row = rowAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && row >= 0 && input.doubleClicked) {
            input.doubleClicked(row);
            return;
        }
        Base::mouseDoubleClickEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        int before = this->currentIndex().row();
        Base::keyPressEvent(event);
        int after = this->currentIndex().row();
        if (after != before && after >= 0 && input.moved)
            input.moved(after);
        else if (event->key() == Qt::Key_Space && input.spacePressed && after >= 0)
            input.spacePressed(after);
    }

private:
    int rowAt(QPoint position) const {
        QModelIndex index = this->indexAt(position);
        return index.isValid() ? index.row() : -1;
    }
};

template <class Widget> void prepareList(Widget* list) {
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setDragEnabled(false);
}

void showFrameAndScrollBars(QAbstractScrollArea* area, const Window& w) {
    bool border = (w.style() & WS_BORDER) || (w.exStyle() & WS_EX_CLIENTEDGE);
    area->setFrameShape(border ? QFrame::StyledPanel : QFrame::NoFrame);
    area->setVerticalScrollBarPolicy((w.style() & WS_VSCROLL) || w.kind() == ControlKind::ListView
                                         ? Qt::ScrollBarAsNeeded
                                         : Qt::ScrollBarAlwaysOff);
    area->setHorizontalScrollBarPolicy((w.style() & WS_HSCROLL) || w.kind() == ControlKind::ListView
                                           ? Qt::ScrollBarAsNeeded
                                           : Qt::ScrollBarAlwaysOff);
}

/// Selects exactly the model's selected rows, and puts the caret on its current entry.
void showSelection(QAbstractItemView* view, const Window& w) {
    QAbstractItemModel* model = view->model();
    QItemSelectionModel* selection = view->selectionModel();
    if (model == nullptr || selection == nullptr) return;
    int columns = std::max(1, model->columnCount());
    QItemSelection wanted;
    for (int row : w.selectedIndices())
        if (row < model->rowCount())
            wanted.select(model->index(row, 0), model->index(row, columns - 1));
    selection->select(wanted, QItemSelectionModel::ClearAndSelect);
    int caret = w.curSel();
    if (caret >= 0 && caret < model->rowCount())
        selection->setCurrentIndex(model->index(caret, 0), QItemSelectionModel::NoUpdate);
}

// --- List box ---------------------------------------------------------------------------------

class ListBoxView final : public View {
public:
    using Widget = ModelSelectedList<QListWidget>;

    ListBoxView(Window& window, Widget* list) : View(window, list), m_list(list) {
        prepareList(list);
        auto select = [this](int row) {
            if (row >= 0) act([row](Window& w) { return userSelect(w, row); });
        };
        list->input.pressed = select;
        list->input.moved = [this, select](int row) {
            if (!this->window().multipleSelection()) select(row);
        };
        list->input.spacePressed = [this, select](int row) {
            if (this->window().multipleSelection()) select(row);
        };
        list->input.doubleClicked = [this](int row) {
            act([row](Window& w) { return userDoubleClick(w, row); });
        };
    }

    void updatePart(Change what, const ChangeRange& range) override {
        if (range.all() || !rangeFits(range, m_list->count(), window().itemCount(), what))
            return update(what);
        const std::vector<Item>& items = window().items();
        switch (what) {
        case Change::ItemsInserted:
            for (int i = range.first; i <= range.last; ++i)
                m_list->insertItem(i, toQString(items[static_cast<size_t>(i)].text));
            break;
        case Change::ItemsRemoved:
            for (int i = range.last; i >= range.first; --i)
                delete m_list->takeItem(i);
            showSelection(m_list, window());
            break;
        case Change::Items:
            for (int i = range.first; i <= range.last; ++i)
                m_list->item(i)->setText(toQString(items[static_cast<size_t>(i)].text));
            break;
        default:
            update(what);
            break;
        }
    }

    void update(Change what) override {
        switch (what) {
        case Change::Items:
        case Change::ItemsInserted:
        case Change::ItemsRemoved: {
            QStringList texts;
            for (const Item& item : window().items())
                texts << toQString(item.text);
            m_list->clear();
            m_list->addItems(texts);
            showSelection(m_list, window());
            break;
        }
        case Change::Selection:
            showSelection(m_list, window());
            break;
        case Change::Style:
            // What the widget says of itself; the model decides what a click selects.
            m_list->setSelectionMode(window().multipleSelection()
                                         ? QAbstractItemView::MultiSelection
                                         : QAbstractItemView::SingleSelection);
            showFrameAndScrollBars(m_list, window());
            View::update(what);
            break;
        default:
            View::update(what);
            break;
        }
    }

private:
    Widget* m_list;
};

// --- Report-view list -------------------------------------------------------------------------

Qt::Alignment columnAlignment(int format) {
    switch (format & 0x3) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

class ListViewView final : public View {
public:
    using Widget = ModelSelectedList<QTreeWidget>;

    ListViewView(Window& window, Widget* tree) : View(window, tree), m_tree(tree) {
        prepareList(tree);
        tree->setRootIsDecorated(false);
        tree->setItemsExpandable(false);
        tree->setUniformRowHeights(true);
        tree->setAllColumnsShowFocus(true);
        tree->setSortingEnabled(false);
        tree->header()->setSectionsClickable(false);
        tree->header()->setSectionsMovable(false);
        tree->input.pressed = [this](int row) {
            act([row](Window& w) { return userSelect(w, row); });
        };
        // The arrow keys move the selection without the click that a mouse press makes.
        tree->input.moved = [this](int row) {
            act([row](Window& w) { return userMoveSelection(w, row); });
        };
        tree->input.doubleClicked = [this](int row) {
            act([row](Window& w) { return userDoubleClick(w, row); });
        };
    }

    void updatePart(Change what, const ChangeRange& range) override {
        if (range.all() ||
            !rangeFits(range, m_tree->topLevelItemCount(), window().itemCount(), what))
            return update(what);
        switch (what) {
        case Change::ItemsInserted:
            for (int i = range.first; i <= range.last; ++i)
                m_tree->insertTopLevelItem(i, makeRow(window().item(i)));
            break;
        case Change::ItemsRemoved:
            for (int i = range.last; i >= range.first; --i)
                delete m_tree->takeTopLevelItem(i);
            showSelection(m_tree, window());
            break;
        case Change::Items:
            for (int i = range.first; i <= range.last; ++i) {
                QTreeWidgetItem* row = m_tree->topLevelItem(i);
                const Item& item = window().item(i);
                row->setText(0, toQString(item.text));
                for (size_t c = 0; c < item.subItems.size(); ++c)
                    row->setText(static_cast<int>(c + 1), toQString(item.subItems[c]));
            }
            break;
        default:
            update(what);
            break;
        }
    }

    void update(Change what) override {
        switch (what) {
        case Change::Columns:
            showColumns();
            break;
        case Change::Items:
        case Change::ItemsInserted:
        case Change::ItemsRemoved:
            showItems();
            break;
        case Change::Selection:
            showSelection(m_tree, window());
            break;
        case Change::Style: {
            DWORD style = window().style();
            m_tree->setHeaderHidden((style & LVS_NOCOLUMNHEADER) != 0);
            m_tree->setSelectionMode((style & LVS_SINGLESEL)
                                         ? QAbstractItemView::SingleSelection
                                         : QAbstractItemView::ExtendedSelection);
            showFrameAndScrollBars(m_tree, window());
            // Without "show selection always" the selection shows only while the list has the
            // focus.
            QPalette palette = QApplication::palette(m_tree);
            if (!(style & LVS_SHOWSELALWAYS)) {
                palette.setColor(QPalette::Inactive, QPalette::Highlight,
                                 palette.color(QPalette::Inactive, QPalette::Base));
                palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                                 palette.color(QPalette::Inactive, QPalette::Text));
            }
            m_tree->setPalette(palette);
            View::update(what);
            break;
        }
        default:
            View::update(what);
            break;
        }
    }

private:
    int columnCount() const {
        return std::max<int>(1, static_cast<int>(window().columns().size()));
    }

    void showColumns() {
        const std::vector<Column>& columns = window().columns();
        m_tree->setColumnCount(columnCount());
        QStringList headings;
        for (const Column& c : columns)
            headings << toQString(c.heading);
        if (headings.isEmpty()) headings << QString();
        m_tree->setHeaderLabels(headings);
        for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
            if (columns[static_cast<size_t>(i)].width > 0)
                m_tree->setColumnWidth(i, columns[static_cast<size_t>(i)].width);
            m_tree->headerItem()->setTextAlignment(
                i, columnAlignment(columns[static_cast<size_t>(i)].format));
        }
        showItems();
    }

    QTreeWidgetItem* makeRow(const Item& item) const {
        const std::vector<Column>& columns = window().columns();
        QStringList texts{toQString(item.text)};
        for (const std::string& sub : item.subItems)
            texts << toQString(sub);
        auto* row = new QTreeWidgetItem(texts);
        for (int i = 0; i < static_cast<int>(columns.size()); ++i)
            row->setTextAlignment(i, columnAlignment(columns[static_cast<size_t>(i)].format));
        return row;
    }

    void showItems() {
        m_tree->clear();
        QList<QTreeWidgetItem*> rows;
        for (const Item& item : window().items())
            rows << makeRow(item);
        m_tree->addTopLevelItems(rows);
        showSelection(m_tree, window());
    }

    Widget* m_tree;
};

} // namespace

std::unique_ptr<View> makeComboBoxView(Window& window, QWidget* parent) {
    return std::make_unique<ComboBoxView>(window, new QComboBox(parent));
}

std::unique_ptr<View> makeListBoxView(Window& window, QWidget* parent) {
    return std::make_unique<ListBoxView>(window, new ListBoxView::Widget(parent));
}

std::unique_ptr<View> makeListViewView(Window& window, QWidget* parent) {
    return std::make_unique<ListViewView>(window, new ListViewView::Widget(parent));
}

} // namespace platform::qt
