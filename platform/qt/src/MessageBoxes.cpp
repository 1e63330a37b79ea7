// Message boxes in Italian: the framework's button sets and icons on a QMessageBox.
#include "Internal.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace platform::qt {

namespace {

struct ButtonChoice {
    int id;
    const char* label;
    QMessageBox::ButtonRole role;
};

std::vector<ButtonChoice> buttonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{IDOK, "OK", QMessageBox::AcceptRole},
                {IDCANCEL, "Annulla", QMessageBox::RejectRole}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, "Interrompi", QMessageBox::RejectRole},
                {IDRETRY, "Riprova", QMessageBox::AcceptRole},
                {IDIGNORE, "Ignora", QMessageBox::AcceptRole}};
    case MB_YESNOCANCEL:
        return {{IDYES, "Sì", QMessageBox::YesRole},
                {IDNO, "No", QMessageBox::NoRole},
                {IDCANCEL, "Annulla", QMessageBox::RejectRole}};
    case MB_YESNO:
        return {{IDYES, "Sì", QMessageBox::YesRole}, {IDNO, "No", QMessageBox::NoRole}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, "Riprova", QMessageBox::AcceptRole},
                {IDCANCEL, "Annulla", QMessageBox::RejectRole}};
    default:
        return {{IDOK, "OK", QMessageBox::AcceptRole}};
    }
}

QMessageBox::Icon iconFor(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

/// The button that Escape and the close box choose: Cancel where there is one, the only
/// button of a box with one; none otherwise (yes/no and abort/retry/ignore must be answered).
int escapeIdFor(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    default:
        return 0;
    }
}

/// A message box that Escape and the close box leave open when the framework's box has no
/// button for them (yes/no, abort/retry/ignore): those questions must be answered.
class MessageBoxWidget final : public QMessageBox {
public:
    MessageBoxWidget(QWidget* parent, bool escapable)
        : QMessageBox(parent), m_escapable(escapable) {
        if (!escapable) setWindowFlag(Qt::WindowCloseButtonHint, false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!m_escapable && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!m_escapable) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool m_escapable;
};

} // namespace

int showMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                   UINT type) {
    MessageBoxWidget box(parent, escapeIdFor(type) != 0);
    box.setWindowTitle(toQString(caption));
    box.setText(toQString(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(iconFor(type));
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    std::vector<ButtonChoice> choices = buttonsFor(type);
    for (const ButtonChoice& choice : choices) {
        QPushButton* button = box.addButton(QString::fromUtf8(choice.label), choice.role);
        buttons.emplace_back(button, choice.id);
        if (choice.id == escapeIdFor(type)) box.setEscapeButton(button);
    }
    size_t defaultIndex = (type & 0xF00) >> 8; // MB_DEFBUTTON2 is 0x100, MB_DEFBUTTON3 0x200
    if (defaultIndex < buttons.size())
        box.setDefaultButton(static_cast<QPushButton*>(buttons[defaultIndex].first));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const auto& [button, id] : buttons)
        if (button == clicked) return id;
    // Closed without a button (only possible where an escape button exists).
    int escape = escapeIdFor(type);
    return escape != 0 ? escape : choices.front().id;
}

} // namespace platform::qt
