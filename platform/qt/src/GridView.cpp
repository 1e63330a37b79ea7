// Grids: a QTableWidget that shows the grid's cells and touches only the rows and cells a
// change names. The widget never selects or edits by itself: a press, a double click, the
// arrows, F2 and typing become the grid's user actions, and the in-place editor (a line edit
// or a combo box placed on the cell) is opened and closed by the model.
#include "Internal.h"

#include "platform/grid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>
#include <functional>

namespace platform::qt {

namespace {

QColor toQColor(COLORREF colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

Qt::Alignment alignmentOf(UINT format) {
    Qt::Alignment horizontal = (format & DT_CENTER)  ? Qt::AlignHCenter
                               : (format & DT_RIGHT) ? Qt::AlignRight
                                                     : Qt::AlignLeft;
    Qt::Alignment vertical = (format & DT_VCENTER)  ? Qt::AlignVCenter
                             : (format & DT_BOTTOM) ? Qt::AlignBottom
                                                    : Qt::AlignTop;
    return horizontal | vertical;
}

/// What a person does to the cells of the table.
struct GridInput {
    std::function<void()> resync; ///< Qt moved its current cell: show the model's again
    std::function<void(int row, int column)> pressed;
    std::function<void(int row, int column)> doubleClicked;
    std::function<bool(QKeyEvent* key)> keyPressed; ///< true when the key was used
};

class GridWidget final : public QTableWidget {
public:
    explicit GridWidget(QWidget* parent) : QTableWidget(parent) {}
    GridInput input;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex&,
                                                         const QEvent*) const override {
        return QItemSelectionModel::NoUpdate;
    }

    void mousePressEvent(QMouseEvent* event) override {
        // Qt's own handling first: it moves its current cell, which the model then decides.
        QTableWidget::mousePressEvent(event);
        QModelIndex index = indexAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && index.isValid() && input.pressed)
            input.pressed(index.row(), index.column());
        else if (input.resync)
            input.resync();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QModelIndex index = indexAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && index.isValid() && input.doubleClicked) {
            input.doubleClicked(index.row(), index.column());
            return;
        }
        QTableWidget::mouseDoubleClickEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        if (input.keyPressed && input.keyPressed(event)) return;
        QTableWidget::keyPressEvent(event);
        if (input.resync) input.resync();
    }
};

/// Enter and Escape in the in-place editor end the edit.
class EditorKeys final : public QObject {
public:
    std::function<void(bool commit)> ended;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ended(true);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            ended(false);
            return true;
        }
        return false;
    }
};

class GridView final : public View {
public:
    GridView(Window& window, GridWidget* table) : View(window, table), m_table(table) {
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionMode(QAbstractItemView::ExtendedSelection);
        table->setSelectionBehavior(QAbstractItemView::SelectItems);
        table->setTabKeyNavigation(false);
        table->setWordWrap(false);
        table->setCornerButtonEnabled(false);
        table->setDragEnabled(false);
        table->horizontalHeader()->setSectionsClickable(false);
        table->horizontalHeader()->setSectionsMovable(false);
        table->verticalHeader()->setSectionsClickable(false);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->verticalHeader()->setDefaultSectionSize(window.baseUnits().cy + 6);
        table->horizontalHeader()->setHighlightSections(false);
        table->verticalHeader()->setHighlightSections(false);
        m_keys.ended = [this](bool commit) {
            act([commit](Window& w) { return userGridEndEdit(w, commit); });
        };
        table->input.pressed = [this](int row, int column) {
            act([row, column](Window& w) { return userGridClick(w, row, column); });
        };
        table->input.doubleClicked = [this](int row, int column) {
            act([row, column](Window& w) { return userGridBeginEdit(w, row, column); });
        };
        table->input.keyPressed = [this](QKeyEvent* key) { return keyPressed(key); };
        table->input.resync = [this] {
            Sync sync;
            showFocusCell();
        };
    }

    ~GridView() override {
        if (widget() != nullptr) closeEditor();
        delete m_balloon.data();
    }

    void update(Change what) override { updatePart(what, ChangeRange{}); }

    void updatePart(Change what, const ChangeRange& range) override {
        switch (what) {
        case Change::Items:
            rebuild();
            break;
        case Change::Columns:
            showColumns(range);
            break;
        case Change::Cells:
            showCells(range);
            break;
        case Change::RowsInserted:
            if (range.first < 0) {
                rebuild();
                break;
            }
            m_table->model()->insertRows(range.first, range.last - range.first + 1);
            showCells(ChangeRange{range.first, range.last, -1, -1});
            relabelFrom(range.last + 1);
            break;
        case Change::RowsRemoved:
            if (range.first < 0) {
                rebuild();
                break;
            }
            m_table->model()->removeRows(range.first, range.last - range.first + 1);
            relabelFrom(range.first);
            showFocusCell();
            break;
        case Change::ColumnsInserted:
            if (range.firstColumn < 0) {
                rebuild();
                break;
            }
            m_table->model()->insertColumns(range.firstColumn,
                                            range.lastColumn - range.firstColumn + 1);
            showColumns(ChangeRange{});
            // The column before the new ones may have been the last, which carries messages.
            showCells(ChangeRange{-1, -1, std::max(0, range.firstColumn - 1), range.lastColumn});
            break;
        case Change::ColumnsRemoved:
            if (range.firstColumn < 0) {
                rebuild();
                break;
            }
            m_table->model()->removeColumns(range.firstColumn,
                                            range.lastColumn - range.firstColumn + 1);
            showColumns(ChangeRange{});
            // The last column carries a row's message: it may be another column now.
            showCells(ChangeRange{-1, -1, std::max(0, grid()->columnCount() - 1), -1});
            break;
        case Change::InPlaceEdit:
            showEditor();
            break;
        case Change::Style:
            m_table->setFrameShape(
                ((window().style() & WS_BORDER) || (window().exStyle() & WS_EX_CLIENTEDGE))
                    ? QFrame::StyledPanel
                    : QFrame::NoFrame);
            View::update(what);
            break;
        default:
            View::update(what);
            break;
        }
    }

protected:
    /// A refused press or key leaves Qt's current cell where the model's focus cell is not.
    void afterUserAction() override {
        showFocusCell();
        showEditor();
    }

private:
    GridState* grid() const { return window().stateAs<GridState>(); }

    /// Shows the whole grid again (a view made for a grid that is already filled).
    void rebuild() {
        GridState* g = grid();
        if (g == nullptr) return;
        closeEditor();
        m_table->clearContents();
        m_table->setColumnCount(g->columnCount());
        m_table->setRowCount(g->rowCount());
        showColumns(ChangeRange{});
        showCells(ChangeRange{});
        showEditor();
    }

    void showColumns(const ChangeRange& range) {
        GridState* g = grid();
        if (g == nullptr) return;
        if (m_table->columnCount() != g->columnCount()) m_table->setColumnCount(g->columnCount());
        bool headings = false;
        for (int c = 0; c < g->columnCount(); ++c) {
            const GridColumn& column = g->column(c);
            headings = headings || !column.heading.empty();
            if (range.firstColumn >= 0 && (c < range.firstColumn || c > range.lastColumn)) continue;
            QTableWidgetItem* header = m_table->horizontalHeaderItem(c);
            if (header == nullptr) {
                header = new QTableWidgetItem;
                m_table->setHorizontalHeaderItem(c, header);
            }
            header->setText(toQString(column.heading));
            header->setTextAlignment(alignmentOf(column.format) & Qt::AlignHorizontal_Mask);
            m_table->setColumnWidth(c, column.width);
        }
        m_table->horizontalHeader()->setVisible(headings);
        if (range.firstColumn < 0) {
            // The row-number column.
            int width = g->columnWidth(-1);
            QHeaderView* rows = m_table->verticalHeader();
            rows->setVisible(g->rowNumbers() || width > 0);
            if (width > 0) rows->setFixedWidth(width);
            relabelFrom(0);
        }
    }

    /// Qt numbers the rows from 1 by itself; labels are set only where the grid's differ.
    bool defaultLabels() const {
        GridState* g = grid();
        return g == nullptr || (g->rowNumbers() && g->fixedRows() == 0 && g->firstRowNumber() == 1);
    }

    void relabelFrom(int first) {
        GridState* g = grid();
        if (g == nullptr) return;
        if (defaultLabels() && !m_labelled) return;
        m_labelled = !defaultLabels();
        for (int r = std::max(0, first); r < g->rowCount(); ++r)
            showLabel(r);
    }

    void showLabel(int row) {
        QString label = toQString(grid()->rowLabel(row));
        QTableWidgetItem* header = m_table->verticalHeaderItem(row);
        if (header == nullptr) {
            m_table->setVerticalHeaderItem(row, new QTableWidgetItem(label));
        } else if (header->text() != label) {
            header->setText(label);
        }
    }

    void showCells(const ChangeRange& range) {
        GridState* g = grid();
        if (g == nullptr) return;
        int firstRow = range.first < 0 ? 0 : range.first;
        int lastRow = range.first < 0 ? g->rowCount() - 1 : std::min(range.last, g->rowCount() - 1);
        int firstColumn = range.firstColumn < 0 ? 0 : range.firstColumn;
        int lastColumn = range.firstColumn < 0 || range.lastColumn < 0
                             ? g->columnCount() - 1
                             : std::min(range.lastColumn, g->columnCount() - 1);
        QItemSelectionModel* selection = m_table->selectionModel();
        QItemSelection selected, deselected;
        for (int r = firstRow; r <= lastRow; ++r) {
            for (int c = firstColumn; c <= lastColumn; ++c) {
                showCell(*g, r, c);
                QModelIndex index = m_table->model()->index(r, c);
                bool wanted = (g->state(r, c) & GVIS_SELECTED) != 0;
                if (wanted != selection->isSelected(index))
                    (wanted ? selected : deselected).select(index, index);
            }
            if (m_labelled && range.firstColumn < 0) showLabel(r);
        }
        if (!deselected.isEmpty()) selection->select(deselected, QItemSelectionModel::Deselect);
        if (!selected.isEmpty()) selection->select(selected, QItemSelectionModel::Select);
        showFocusCell();
    }

    void showCell(const GridState& g, int row, int column) {
        const GridCell* cell = g.cell(row, column);
        QTableWidgetItem* item = m_table->item(row, column);
        bool fresh = item == nullptr;
        if (fresh) item = new QTableWidgetItem;
        // Setting an item's data to what it holds already changes nothing in the widget.
        item->setText(toQString(cell->text));
        Qt::ItemFlags flags = Qt::ItemIsEnabled;
        if (!g.isFixed(row, column)) flags |= Qt::ItemIsSelectable;
        if (item->flags() != flags) item->setFlags(flags);
        item->setTextAlignment(alignmentOf(g.format(row, column)));
        item->setBackground(toQColor(g.shownBackground(row, column)));
        item->setForeground(toQColor(g.shownForeground(row, column)));
        // The reason a row's value was refused: a warning sign beside its last cell, the text
        // as the tooltip of each cell.
        const std::string& message = g.rowMessage(row);
        if (!message.empty() || item->data(Qt::ToolTipRole).isValid())
            item->setToolTip(toQString(message));
        bool marked = !message.empty() && column == g.columnCount() - 1;
        if (marked || item->data(Qt::DecorationRole).isValid())
            item->setData(Qt::DecorationRole, marked ? warningIcon() : QVariant());
        if (fresh) m_table->setItem(row, column, item);
    }

    QVariant warningIcon() {
        if (!m_warning.isValid())
            m_warning =
                QVariant::fromValue(m_table->style()->standardIcon(QStyle::SP_MessageBoxWarning));
        return m_warning;
    }

    void showFocusCell() {
        GridState* g = grid();
        if (g == nullptr) return;
        QModelIndex wanted = g->focusRow() >= 0
                                 ? m_table->model()->index(g->focusRow(), g->focusColumn())
                                 : QModelIndex();
        if (m_table->selectionModel()->currentIndex() != wanted)
            m_table->selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::NoUpdate);
    }

    // --- The in-place editor ------------------------------------------------------------------

    void showEditor() {
        GridState* g = grid();
        const GridEdit* edit = g != nullptr ? &g->edit() : nullptr;
        if (edit == nullptr || !edit->active) {
            closeEditor();
            return;
        }
        QModelIndex index = m_table->model()->index(edit->row, edit->column);
        if (m_editor && (m_editorIndex != index || m_editorKind != edit->kind)) closeEditor();
        if (!m_editor) openEditor(*edit, index);
        if (auto* line = qobject_cast<QLineEdit*>(m_editor.data())) {
            showModelText(line, edit->text);
            // Opened, or its text refused: selected whole, so that the next key replaces it.
            if (edit->selectAllCount != m_selectAllShown) {
                m_selectAllShown = edit->selectAllCount;
                line->selectAll();
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(m_editor.data())) {
            if (combo->currentIndex() != edit->choice()) combo->setCurrentIndex(edit->choice());
        }
        if (focusWindow() == &window() && !m_editor->hasFocus())
            m_editor->setFocus(Qt::OtherFocusReason);
        showBalloon(edit->balloon, index);
    }

    /// The reason a text was refused, in a balloon below the cell (above it when the dialog
    /// has no room below). A child of the dialog rather than a tool tip window, so that it
    /// stays with the dialog and shows in a picture of it.
    void showBalloon(const std::string& text, const QModelIndex& index) {
        if (text.empty()) {
            hideBalloon();
            return;
        }
        QWidget* top = m_table->window();
        if (!m_balloon || m_balloon->parentWidget() != top) {
            delete m_balloon.data();
            m_balloon = new QFrame(top);
            m_balloon->setObjectName(QStringLiteral("gridBalloon"));
            m_balloon->setAutoFillBackground(true);
            QPalette colours = m_balloon->palette();
            colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
            colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
            m_balloon->setPalette(colours);
            m_balloon->setFrameShape(QFrame::Box);
            m_balloon->setAttribute(Qt::WA_TransparentForMouseEvents);
            auto* layout = new QHBoxLayout(m_balloon);
            layout->setContentsMargins(6, 4, 6, 4);
            layout->setSpacing(6);
            auto* icon = new QLabel(m_balloon);
            int size = m_table->style()->pixelMetric(QStyle::PM_SmallIconSize);
            icon->setPixmap(
                m_table->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
            icon->setAlignment(Qt::AlignTop);
            layout->addWidget(icon);
            auto* label = new QLabel(m_balloon);
            label->setObjectName(QStringLiteral("gridBalloonText"));
            label->setWordWrap(true);
            layout->addWidget(label, 1);
        }
        auto* label = m_balloon->findChild<QLabel*>(QStringLiteral("gridBalloonText"));
        label->setText(toQString(text));
        QRect cell = m_table->visualRect(index);
        QPoint below = m_table->viewport()->mapTo(top, cell.bottomLeft() + QPoint(0, 2));
        QPoint above = m_table->viewport()->mapTo(top, cell.topLeft() - QPoint(0, 2));
        int width = std::clamp(cell.width() + 120, 240, std::max(240, top->width() - 8));
        label->setFixedWidth(width - 40);
        m_balloon->adjustSize();
        QSize size = m_balloon->sizeHint();
        int x = std::clamp(below.x(), 4, std::max(4, top->width() - size.width() - 4));
        int y =
            below.y() + size.height() <= top->height() - 4 ? below.y() : above.y() - size.height();
        m_balloon->setGeometry(x, std::max(0, y), size.width(), size.height());
        m_balloon->raise();
        m_balloon->show();
    }

    void hideBalloon() {
        if (m_balloon) m_balloon->hide();
    }

    void openEditor(const GridEdit& edit, const QModelIndex& index) {
        QWidget* editor = nullptr;
        if (edit.kind == GridEditor::DropDown) {
            auto* combo = new QComboBox;
            combo->setEditable(false);
            for (const std::string& choice : edit.choices)
                combo->addItem(toQString(choice));
            QObject::connect(combo, &QComboBox::activated, context(), [this](int choice) {
                act([choice](Window& w) { return userGridPick(w, choice); });
            });
            editor = combo;
        } else {
            auto* line = new QLineEdit;
            line->setFrame(false);
            line->setText(toQString(edit.text));
            line->selectAll();
            QObject::connect(line, &QLineEdit::textEdited, context(), [this](const QString& text) {
                std::string typed = toUtf8(text);
                act([&typed](Window& w) { return userGridEditText(w, typed); });
            });
            editor = line;
        }
        editor->installEventFilter(&m_keys);
        m_editor = editor;
        m_editorIndex = index;
        m_editorKind = edit.kind;
        m_selectAllShown = edit.selectAllCount;
        m_table->scrollTo(index);
        m_table->setIndexWidget(index, editor);
        // The grid keeps the model's focus; Qt's goes to the editor while it is open.
        m_table->setFocusProxy(editor);
        if (focusWindow() == &window()) editor->setFocus(Qt::OtherFocusReason);
    }

    void closeEditor() {
        hideBalloon();
        if (!m_editor) {
            m_editorIndex = QPersistentModelIndex();
            return;
        }
        QPointer<QWidget> editor = m_editor;
        bool hadFocus = editor->hasFocus();
        m_editor = nullptr;
        m_table->setFocusProxy(nullptr);
        editor->removeEventFilter(&m_keys);
        if (m_editorIndex.isValid()) m_table->setIndexWidget(m_editorIndex, nullptr);
        m_editorIndex = QPersistentModelIndex();
        if (editor) {
            editor->hide();
            // It may be the widget whose key or signal is ending the edit right now.
            editor->deleteLater();
        }
        if (hadFocus) m_table->setFocus(Qt::OtherFocusReason);
    }

    // --- Keyboard ------------------------------------------------------------------------------

    bool keyPressed(QKeyEvent* key) {
        GridState* g = grid();
        if (g == nullptr) return false;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        int row = g->focusRow(), column = g->focusColumn();
        auto moveTo = [this](int r, int c) {
            act([r, c](Window& w) { return userGridMove(w, r, c); });
            return true;
        };
        switch (key->key()) {
        case Qt::Key_Up:
            return row > g->fixedRows() ? moveTo(row - 1, column) : true;
        case Qt::Key_Down:
            if (row < 0) return moveTo(g->fixedRows(), std::max(column, g->fixedColumns()));
            return row + 1 < g->rowCount() ? moveTo(row + 1, column) : true;
        case Qt::Key_Left:
            return column > g->fixedColumns() ? moveTo(row, column - 1) : true;
        case Qt::Key_Right:
            return row >= 0 && column + 1 < g->columnCount() ? moveTo(row, column + 1) : true;
        case Qt::Key_F2:
            if (row >= 0)
                act([row, column](Window& w) { return userGridBeginEdit(w, row, column); });
            return true;
        default:
            break;
        }
        QString typed = key->text();
        if (row < 0 || typed.isEmpty() || !typed.at(0).isPrint()) return false;
        // Typing over a cell opens its editor with what was typed in place of the old text.
        std::string text = toUtf8(typed);
        act([row, column, &text](Window& w) {
            if (!userGridBeginEdit(w, row, column)) return false;
            GridState* state = w.stateAs<GridState>();
            return state != nullptr && state->edit().kind == GridEditor::Text &&
                   userGridEditText(w, text);
        });
        return true;
    }

    GridWidget* m_table;
    EditorKeys m_keys;
    QPointer<QWidget> m_editor;
    QPersistentModelIndex m_editorIndex;
    GridEditor m_editorKind = GridEditor::Text;
    unsigned m_selectAllShown = 0;
    QPointer<QFrame> m_balloon;
    bool m_labelled = false;
    QVariant m_warning;
};

} // namespace

std::unique_ptr<View> makeGridView(Window& window, QWidget* parent) {
    return std::make_unique<GridView>(window, new GridWidget(parent));
}

} // namespace platform::qt
