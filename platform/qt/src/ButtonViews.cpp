// Push buttons, check boxes and radio buttons. A click is the model's userClick; the check
// state shown is always the model's, never Qt's own toggle.
#include "Internal.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace platform::qt {

namespace {

void connectClick(View* view, QAbstractButton* button, QObject* context) {
    QObject::connect(button, &QAbstractButton::clicked, context,
                     [view] { view->act([](Window& w) { return userClick(w); }); });
}

class PushButtonView final : public View {
public:
    PushButtonView(Window& window, QPushButton* button) : View(window, button), m_button(button) {
        // Enter is the platform's: no button presses itself on Enter.
        button->setAutoDefault(false);
        connectClick(this, button, context());
    }

    void update(Change what) override {
        switch (what) {
        case Change::Text:
            showModelText(m_button, window().text());
            break;
        case Change::Style:
            m_button->setDefault((window().style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            View::update(what);
            break;
        default:
            View::update(what);
            break;
        }
    }

private:
    QPushButton* m_button;
};

Qt::CheckState toQt(int check) {
    switch (check) {
    case BST_CHECKED:
        return Qt::Checked;
    case BST_INDETERMINATE:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

/// Check boxes and radio buttons: a label, a check state shown from the model, and the text
/// on the left with BS_LEFTTEXT.
class CheckableView final : public View {
public:
    CheckableView(Window& window, QAbstractButton* button)
        : View(window, button), m_button(button), m_box(qobject_cast<QCheckBox*>(button)) {
        // Radio groups are the model's: Qt must not uncheck siblings by itself.
        if (auto* radio = qobject_cast<QRadioButton*>(button)) radio->setAutoExclusive(false);
        connectClick(this, button, context());
    }

    void update(Change what) override {
        switch (what) {
        case Change::Text:
            showModelText(m_button, window().text());
            break;
        case Change::Check:
            if (m_box != nullptr) {
                if (m_box->checkState() != toQt(window().check()))
                    m_box->setCheckState(toQt(window().check()));
            } else if (m_button->isChecked() != (window().check() == BST_CHECKED)) {
                m_button->setChecked(window().check() == BST_CHECKED);
            }
            break;
        case Change::Style: {
            DWORD style = window().style();
            if (m_box != nullptr) {
                DWORD type = style & BS_TYPEMASK;
                m_box->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
            }
            m_button->setLayoutDirection((style & BS_LEFTTEXT) ? Qt::RightToLeft : Qt::LeftToRight);
            View::update(what);
            break;
        }
        default:
            View::update(what);
            break;
        }
    }

private:
    QAbstractButton* m_button;
    QCheckBox* m_box; ///< null for radio buttons
};

} // namespace

std::unique_ptr<View> makePushButtonView(Window& window, QWidget* parent) {
    return std::make_unique<PushButtonView>(window, new QPushButton(parent));
}

std::unique_ptr<View> makeCheckBoxView(Window& window, QWidget* parent) {
    return std::make_unique<CheckableView>(window, new QCheckBox(parent));
}

std::unique_ptr<View> makeRadioButtonView(Window& window, QWidget* parent) {
    return std::make_unique<CheckableView>(window, new QRadioButton(parent));
}

} // namespace platform::qt
