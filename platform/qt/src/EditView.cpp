// Edit controls: a QLineEdit, or a QPlainTextEdit for multi-line edits. Every edit the user
// makes in a line edit reaches the model as userEdited with the widget's whole new text, caret
// and selection; moving the caret or selecting reaches it as userSelectText; and the model's
// caret, selection and balloon tip are shown in the widget.
#include "Internal.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <utility>

namespace platform::qt {

namespace {

bool hasBorder(const Window& w) {
    return (w.style() & WS_BORDER) || (w.exStyle() & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
}

Qt::Alignment horizontalAlignment(DWORD style) {
    if (style & ES_RIGHT) return Qt::AlignRight;
    if (style & ES_CENTER) return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

/// What typing produces in an edit that forces the case of its letters.
QString withForcedCase(const Window& w, QString text) {
    if (w.style() & ES_UPPERCASE) return text.toUpper();
    if (w.style() & ES_LOWERCASE) return text.toLower();
    return text;
}

/// Read-only edits show the dialog's face colour behind their text, as the original does.
void showReadOnly(QWidget* widget, bool readOnly) {
    QPalette palette = widget->palette();
    QPalette standard = QApplication::palette(widget);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::Base,
                         standard.color(group, readOnly ? QPalette::Window : QPalette::Base));
    // Disabled edits keep the application's disabled colour: the face colour too.
    palette.setColor(QPalette::Disabled, QPalette::Base,
                     standard.color(QPalette::Disabled, QPalette::Base));
    widget->setPalette(palette);
}

// The model counts characters, the widget UTF-16 units.
int toModelPosition(const QString& text, int position) {
    return static_cast<int>(QStringView(text).left(position).toUcs4().size());
}

int toWidgetPosition(const QString& text, int position) {
    int at = 0;
    for (int n = 0; n < position && at < text.size(); ++n)
        at += text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
    return at;
}

/// The balloon tip of an edit: a framed note under the field, inside its dialog, with the
/// title in bold; it also becomes the field's tooltip.
class BalloonTip {
public:
    ~BalloonTip() { delete m_label; }

    void show(QWidget* field, const Balloon& balloon) {
        QString title = toQString(balloon.title).toHtmlEscaped();
        QString text = toQString(balloon.text).toHtmlEscaped();
        field->setToolTip(toQString(balloon.title + "\n" + balloon.text));
        QWidget* dialog = field->window();
        if (m_label == nullptr || m_label->parentWidget() != dialog) {
            delete m_label;
            m_label = new QLabel(dialog);
            m_label->setObjectName(QStringLiteral("balloon"));
            m_label->setTextFormat(Qt::RichText);
            m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
            m_label->setStyleSheet(QStringLiteral(
                "QLabel#balloon { background: #ffffe1; color: black; border: 1px solid #767676;"
                " border-radius: 5px; padding: 3px 6px; }"));
        }
        m_label->setText(QStringLiteral("<b>%1</b><br>%2").arg(title, text));
        m_label->adjustSize();
        QPoint at = field->mapTo(dialog, QPoint(field->width() / 4, field->height() + 2));
        at.setX(std::max(0, std::min(at.x(), dialog->width() - m_label->width())));
        if (at.y() + m_label->height() > dialog->height())
            at.setY(std::max(0, field->mapTo(dialog, QPoint(0, 0)).y() - m_label->height() - 2));
        m_label->move(at);
        m_label->raise();
        m_label->show();
    }

    void hide(QWidget* field) {
        field->setToolTip(QString());
        if (m_label != nullptr) m_label->hide();
    }

    QLabel* label() const { return m_label; }

private:
    QPointer<QLabel> m_label;
};

class LineEditView final : public View {
public:
    LineEditView(Window& window, QLineEdit* edit) : View(window, edit), m_edit(edit) {
        QObject::connect(edit, &QLineEdit::textEdited, context(), [this](const QString& text) {
            std::string typed = toUtf8(withForcedCase(this->window(), text));
            const std::pair<int, int> sel = widgetSelection();
            act([&typed, sel](Window& w) { return userEdited(w, typed, sel.first, sel.second); });
        });
        // A caret moved or a selection made without typing.
        auto selected = [this] {
            if (syncing() || !m_edit->hasFocus()) return;
            const std::pair<int, int> sel = widgetSelection();
            if (sel.first == this->window().selStart() && sel.second == this->window().selEnd())
                return;
            if (m_edit->text() != toQString(this->window().text())) return; // an edit follows
            act([sel](Window& w) { return userSelectText(w, sel.first, sel.second); });
        };
        QObject::connect(edit, &QLineEdit::selectionChanged, context(), selected);
        QObject::connect(edit, &QLineEdit::cursorPositionChanged, context(), selected);
    }

    void update(Change what) override {
        switch (what) {
        case Change::Text:
            showModelText(m_edit, window().text());
            showSelection();
            break;
        case Change::Selection:
            showSelection();
            break;
        case Change::Balloon:
            if (window().balloon().shown())
                m_balloon.show(m_edit, window().balloon());
            else
                m_balloon.hide(m_edit);
            break;
        case Change::ReadOnly:
            m_edit->setReadOnly(window().readOnly());
            showReadOnly(m_edit, window().readOnly());
            break;
        case Change::Style: {
            DWORD style = window().style();
            m_edit->setFrame(hasBorder(window()));
            m_edit->setAlignment(horizontalAlignment(style) | Qt::AlignVCenter);
            m_edit->setEchoMode((style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
            if ((style & ES_NUMBER) && m_edit->validator() == nullptr) {
                m_edit->setValidator(new QRegularExpressionValidator(
                    QRegularExpression(QStringLiteral("[0-9]*")), m_edit));
            } else if (!(style & ES_NUMBER) && m_edit->validator() != nullptr) {
                m_edit->setValidator(nullptr);
            }
            View::update(what);
            break;
        }
        default:
            View::update(what);
            break;
        }
    }

private:
    /// The widget's selection in the model's positions: {start, end}, the caret at the end.
    std::pair<int, int> widgetSelection() const {
        const QString text = m_edit->text();
        int caret = toModelPosition(text, m_edit->cursorPosition());
        if (!m_edit->hasSelectedText()) return {caret, caret};
        int start = toModelPosition(text, m_edit->selectionStart());
        int end = toModelPosition(text, m_edit->selectionEnd());
        return {start, end};
    }

    void showSelection() {
        const QString text = m_edit->text();
        if (text != toQString(window().text())) return;
        auto [start, end] = widgetSelection();
        if (start == window().selStart() && end == window().selEnd()) return;
        int from = toWidgetPosition(text, window().selStart());
        int to = toWidgetPosition(text, window().selEnd());
        if (from == to)
            m_edit->setCursorPosition(to);
        else
            m_edit->setSelection(from, to - from);
    }

    QLineEdit* m_edit;
    BalloonTip m_balloon;
};

/// The model keeps line breaks as "\r\n", the widget as '\n'.
QString toWidgetText(const std::string& text) {
    QString shown = toQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

std::string toModelText(const QString& text) {
    QString model = text;
    model.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return toUtf8(model);
}

class TextEditView final : public View {
public:
    TextEditView(Window& window, QPlainTextEdit* edit) : View(window, edit), m_edit(edit) {
        edit->setTabChangesFocus(true);
        QObject::connect(edit, &QPlainTextEdit::textChanged, context(), [this] {
            if (syncing()) return;
            std::string typed = toModelText(withForcedCase(this->window(), m_edit->toPlainText()));
            act([&typed](Window& w) { return userSetText(w, typed); });
        });
    }

    bool takesReturn() const override { return (window().style() & ES_WANTRETURN) != 0; }

    void update(Change what) override {
        switch (what) {
        case Change::Text: {
            QString text = toWidgetText(window().text());
            if (m_edit->toPlainText() != text) m_edit->setPlainText(text);
            break;
        }
        case Change::ReadOnly:
            m_edit->setReadOnly(window().readOnly());
            showReadOnly(m_edit, window().readOnly());
            break;
        case Change::Style: {
            DWORD style = window().style();
            m_edit->setFrameShape(hasBorder(window()) ? QFrame::StyledPanel : QFrame::NoFrame);
            QTextOption option = m_edit->document()->defaultTextOption();
            option.setAlignment(horizontalAlignment(style));
            m_edit->document()->setDefaultTextOption(option);
            m_edit->setLineWrapMode((style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap
                                                             : QPlainTextEdit::WidgetWidth);
            m_edit->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded
                                                                    : Qt::ScrollBarAlwaysOff);
            m_edit->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
            View::update(what);
            break;
        }
        default:
            View::update(what);
            break;
        }
    }

private:
    QPlainTextEdit* m_edit;
};

} // namespace

std::unique_ptr<View> makeEditView(Window& window, QWidget* parent) {
    if (window.style() & ES_MULTILINE)
        return std::make_unique<TextEditView>(window, new QPlainTextEdit(parent));
    return std::make_unique<LineEditView>(window, new QLineEdit(parent));
}

} // namespace platform::qt
