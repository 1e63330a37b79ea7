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
        case Change::Text: {
            QString text = toQString(window().text());
            if (m_button->text() != text) m_button->setText(text);
            break;
        }
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

class CheckBoxView final : public View {
public:
    CheckBoxView(Window& window, QCheckBox* box) : View(window, box), m_box(box) {
        connectClick(this, box, context());
    }

    void update(Change what) override {
        switch (what) {
        case Change::Text: {
            QString text = toQString(window().text());
            if (m_box->text() != text) m_box->setText(text);
            break;
        }
        case Change::Check:
            if (m_box->checkState() != toQt(window().check()))
                m_box->setCheckState(toQt(window().check()));
            break;
        case Change::Style: {
            DWORD type = window().style() & BS_TYPEMASK;
            m_box->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
            m_box->setLayoutDirection((window().style() & BS_LEFTTEXT) ? Qt::RightToLeft
                                                                       : Qt::LeftToRight);
            View::update(what);
            break;
        }
        default:
            View::update(what);
            break;
        }
    }

private:
    QCheckBox* m_box;
};

class RadioButtonView final : public View {
public:
    RadioButtonView(Window& window, QRadioButton* radio) : View(window, radio), m_radio(radio) {
        // The model keeps the groups: Qt must not uncheck siblings by itself.
        radio->setAutoExclusive(false);
        connectClick(this, radio, context());
    }

    void update(Change what) override {
        switch (what) {
        case Change::Text: {
            QString text = toQString(window().text());
            if (m_radio->text() != text) m_radio->setText(text);
            break;
        }
        case Change::Check: {
            bool checked = window().check() == BST_CHECKED;
            if (m_radio->isChecked() != checked) m_radio->setChecked(checked);
            break;
        }
        case Change::Style:
            m_radio->setLayoutDirection((window().style() & BS_LEFTTEXT) ? Qt::RightToLeft
                                                                         : Qt::LeftToRight);
            View::update(what);
            break;
        default:
            View::update(what);
            break;
        }
    }

private:
    QRadioButton* m_radio;
};

} // namespace

std::unique_ptr<View> makePushButtonView(Window& window, QWidget* parent) {
    return std::make_unique<PushButtonView>(window, new QPushButton(parent));
}

std::unique_ptr<View> makeCheckBoxView(Window& window, QWidget* parent) {
    return std::make_unique<CheckBoxView>(window, new QCheckBox(parent));
}

std::unique_ptr<View> makeRadioButtonView(Window& window, QWidget* parent) {
    return std::make_unique<RadioButtonView>(window, new QRadioButton(parent));
}

} // namespace platform::qt
