// Edit controls: a QLineEdit, or a QPlainTextEdit for multi-line edits. Every edit the user
// makes reaches the model as userSetText with the widget's whole new text.
#include "Internal.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QTextDocument>
#include <QTextOption>

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

class LineEditView final : public View {
public:
    LineEditView(Window& window, QLineEdit* edit) : View(window, edit), m_edit(edit) {
        QObject::connect(edit, &QLineEdit::textEdited, context(), [this](const QString& text) {
            std::string typed = toUtf8(withForcedCase(this->window(), text));
            act([&typed](Window& w) { return userSetText(w, typed); });
        });
    }

    void update(Change what) override {
        switch (what) {
        case Change::Text:
            showModelText(m_edit, window().text());
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
    QLineEdit* m_edit;
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
