// Static texts, static frames and group boxes.
#include "Internal.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>

namespace platform::qt {

namespace {

constexpr DWORD SS_BLACKRECT = 0x4, SS_GRAYRECT = 0x5, SS_WHITERECT = 0x6;
constexpr DWORD SS_GRAYFRAME = 0x8, SS_WHITEFRAME = 0x9;
constexpr DWORD SS_ETCHEDHORZ = 0x10, SS_ETCHEDVERT = 0x11, SS_ETCHEDFRAME = 0x12;

/// True when \p text has an access key: a single '&' before a character.
bool hasAccessKey(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return true;
        ++i;
    }
    return false;
}

bool isTabStopControl(const Window& w) {
    switch (w.kind()) {
    case ControlKind::Static:
    case ControlKind::GroupBox:
    case ControlKind::Dialog:
        return false;
    default:
        return (w.style() & WS_TABSTOP) != 0;
    }
}

/// True when the rectangle of \p widget cannot show the whole of \p text.
bool cutsText(const QWidget* widget, const QString& text) {
    if (text.isEmpty()) return false;
    const QFontMetrics metrics(widget->font());
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const QRect room = label->contentsRect();
        if (!label->wordWrap()) return metrics.horizontalAdvance(text) > room.width();
        const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), 1 << 20),
                                                  Qt::TextWordWrap | Qt::AlignLeft, text);
        return needed.height() > room.height() || needed.width() > room.width();
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
        // The frame and the margins Qt keeps around the text of a line edit.
        const int room = line->contentsRect().width() - line->textMargins().left() -
                         line->textMargins().right() - (line->hasFrame() ? 6 : 4);
        return metrics.horizontalAdvance(text) > room;
    }
    return false;
}

class StaticTextView final : public View {
public:
    StaticTextView(Window& window, QLabel* label) : View(window, label), m_label(label) {
        label->setTextFormat(Qt::PlainText);
    }

    void update(Change what) override {
        switch (what) {
        case Change::Text:
            showText();
            break;
        case Change::Rect:
            View::update(what);
            showText();
            break;
        case Change::Style: {
            DWORD style = window().style();
            DWORD type = style & SS_TYPEMASK;
            Qt::Alignment horizontal = type == SS_CENTER  ? Qt::AlignHCenter
                                       : type == SS_RIGHT ? Qt::AlignRight
                                                          : Qt::AlignLeft;
            bool centred = (style & SS_CENTERIMAGE) != 0;
            m_label->setAlignment(horizontal | (centred ? Qt::AlignVCenter : Qt::AlignTop));
            m_label->setWordWrap(!centred && type <= SS_RIGHT);
            if (style & SS_SUNKEN)
                m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            else if ((style & WS_BORDER) || (window().exStyle() & WS_EX_CLIENTEDGE))
                m_label->setFrameStyle(QFrame::Box | QFrame::Plain);
            else
                m_label->setFrameStyle(QFrame::NoFrame);
            m_label->setIndent(0);
            m_label->setMargin(0);
            showText();
            View::update(what);
            break;
        }
        default:
            View::update(what);
            break;
        }
    }

    void arrange(const std::vector<View*>& order, std::size_t self) override {
        // The access key of a label moves the focus to the next tab stop after it.
        QWidget* buddy = nullptr;
        if (!(window().style() & SS_NOPREFIX) && hasAccessKey(window().text())) {
            for (std::size_t i = self + 1; i < order.size(); ++i) {
                const Window& next = order[i]->window();
                if (next.parent() != window().parent()) continue;
                if (isTabStopControl(next)) {
                    buddy = order[i]->widget();
                    break;
                }
            }
        }
        if (m_label->buddy() != buddy) m_label->setBuddy(buddy);
        showText();
    }

private:
    void showText() {
        const std::string& text = window().text();
        QString shown;
        if (window().style() & SS_NOPREFIX) {
            shown = toQString(text);
            if (m_label->buddy() != nullptr) m_label->setBuddy(nullptr);
        } else if (m_label->buddy() != nullptr) {
            shown = toQString(text); // the label underlines the access key itself
        } else {
            shown = toQString(withoutAccessKeys(text));
        }
        if (m_label->text() != shown) m_label->setText(shown);
        showCutTextTip(
            m_label, toQString((window().style() & SS_NOPREFIX) ? text : withoutAccessKeys(text)));
    }

    QLabel* m_label;
};

class StaticFrameView final : public View {
public:
    StaticFrameView(Window& window, QFrame* frame) : View(window, frame), m_frame(frame) {}

    void update(Change what) override {
        if (what != Change::Style) {
            View::update(what);
            return;
        }
        DWORD type = window().style() & SS_TYPEMASK;
        QPalette palette = m_frame->palette();
        switch (type) {
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT: {
            QColor fill = type == SS_BLACKRECT  ? palette.color(QPalette::WindowText)
                          : type == SS_GRAYRECT ? palette.color(QPalette::Dark)
                                                : palette.color(QPalette::Light);
            palette.setColor(QPalette::Window, fill);
            m_frame->setPalette(palette);
            m_frame->setAutoFillBackground(true);
            m_frame->setFrameStyle(QFrame::NoFrame);
            break;
        }
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME: {
            QColor line = type == SS_BLACKFRAME  ? palette.color(QPalette::WindowText)
                          : type == SS_GRAYFRAME ? palette.color(QPalette::Dark)
                                                 : palette.color(QPalette::Light);
            palette.setColor(QPalette::WindowText, line);
            m_frame->setPalette(palette);
            m_frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            m_frame->setLineWidth(1);
            break;
        }
        case SS_ETCHEDHORZ:
            m_frame->setFrameStyle(QFrame::HLine | QFrame::Sunken);
            break;
        case SS_ETCHEDVERT:
            m_frame->setFrameStyle(QFrame::VLine | QFrame::Sunken);
            break;
        case SS_ETCHEDFRAME:
            m_frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            break;
        default:
            m_frame->setFrameStyle(QFrame::NoFrame);
            break;
        }
        View::update(what);
    }

private:
    QFrame* m_frame;
};

/// A group box drawn as the original draws it: an etched frame whose top line runs through
/// the middle of the title, so that the controls keep the room the template gives them.
class GroupBoxWidget final : public QWidget {
public:
    using QWidget::QWidget;

    const QString& title() const { return m_title; }
    void setTitle(const QString& title) {
        m_title = title;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QFontMetrics metrics(font());
        int top = metrics.height() / 2;
        QRect frame = rect().adjusted(0, top, -1, -1);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(frame.adjusted(1, 1, 0, 0));
        if (m_title.isEmpty()) return;
        int indent = metrics.averageCharWidth() + 2;
        QRect text(indent, 0, metrics.horizontalAdvance(m_title) + 4, metrics.height());
        text = text.intersected(rect().adjusted(0, 0, -indent, 0));
        painter.fillRect(text, palette().color(QPalette::Window));
        style()->drawItemText(&painter, text, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), m_title, QPalette::WindowText);
    }

private:
    QString m_title;
};

class GroupBoxView final : public View {
public:
    GroupBoxView(Window& window, GroupBoxWidget* box) : View(window, box), m_box(box) {
        // A group box only frames: clicks go to what lies behind it, it never takes focus.
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void update(Change what) override {
        if (what == Change::Text) {
            QString title = toQString(window().text());
            if (m_box->title() != title) m_box->setTitle(title);
            return;
        }
        View::update(what);
    }

private:
    GroupBoxWidget* m_box;
};

bool isFrameType(DWORD type) {
    return (type >= SS_BLACKRECT && type <= SS_WHITEFRAME) ||
           (type >= SS_ETCHEDHORZ && type <= SS_ETCHEDFRAME);
}

} // namespace

void showCutTextTip(QWidget* widget, const QString& text) {
    const char* const given = "platformCutTextTip";
    const auto* line = qobject_cast<const QLineEdit*>(widget);
    const bool cut = (line == nullptr || line->isReadOnly()) && cutsText(widget, text);
    if (cut) {
        if (widget->toolTip() != text) widget->setToolTip(text);
        widget->setProperty(given, true);
    } else if (widget->property(given).toBool()) {
        widget->setToolTip(QString());
        widget->setProperty(given, false);
    }
}

std::unique_ptr<View> makeStaticView(Window& window, QWidget* parent) {
    DWORD type = window.style() & SS_TYPEMASK;
    if (isFrameType(type)) return std::make_unique<StaticFrameView>(window, new QFrame(parent));
    return std::make_unique<StaticTextView>(window, new QLabel(parent));
}

std::unique_ptr<View> makeGroupBoxView(Window& window, QWidget* parent) {
    return std::make_unique<GroupBoxView>(window, new GroupBoxWidget(parent));
}

bool isGroupBoxView(const View* view) {
    return dynamic_cast<const GroupBoxView*>(view) != nullptr;
}

} // namespace platform::qt
