// The Qt backend: fonts and base units, windows at their model rectangles with the template's
// window styles, the keyboard and the close box, modal runs in the event loop, message boxes,
// and pictures of dialogs.
#include "QtTestSupport.h"

#include "platform/messagebox.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include <stdexcept>
#include <unistd.h>

using automation::Dialog;
using automation::ScriptedUser;
using namespace qttest;

// The system's font configuration library keeps a few bytes until the process ends; under the
// leak checker of the sanitizer build that is not ours to report.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace {

class QtBackend : public ::testing::Test {
protected:
    void SetUp() override { useQtBackend(); }
    CurrentResources resources{parse(kProbeScript)};
};

/// Dialog 103, whose button 1020 runs dialog 101 inside it.
class Opener : public CDialog {
public:
    Opener() : CDialog(103) {}
    CDialog* inner = nullptr;
    INT_PTR innerResult = 0;

    void onOpen() {
        CDialog dialog(101, this);
        inner = &dialog;
        innerResult = dialog.DoModal();
        inner = nullptr;
    }

    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(Opener, CDialog)
    ON_BN_CLICKED(1020, &Opener::onOpen)
END_MESSAGE_MAP()
// clang-format on

QWidget* widgetOf(CWnd* wnd) {
    return wnd != nullptr ? platform::qt::widgetFor(wnd->m_hWnd) : nullptr;
}

std::string temporaryPng(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string("gps_qt_") + name + "_" + std::to_string(::getpid()) + ".png"))
        .string();
}

} // namespace

TEST_F(QtBackend, base_units_of_the_template_font_are_the_classic_ones) {
    platform::Backend& backend = platform::backend();
    SIZE units = backend.dialogBaseUnits(platform::FontSpec{});
    EXPECT_NEAR(units.cx, 6, 0);
    EXPECT_NEAR(units.cy, 13, 1);

    // The stand-in font is no wider than the units say, so texts fit where they fitted.
    QFont font = platform::qt::fontFor(platform::FontSpec{});
    double average = QFontMetricsF(font).horizontalAdvance(
                         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") /
                     52.0;
    EXPECT_NEAR(average, units.cx, 0.5);
    EXPECT_NE(QFontInfo(font).family(), "MS Sans Serif");

    SIZE larger = backend.dialogBaseUnits(platform::FontSpec{12, "MS Sans Serif"});
    EXPECT_GT(larger.cx, units.cx);
    EXPECT_GT(larger.cy, units.cy);
    // A missing size is the default size; an unknown face still gives usable units.
    SIZE noSize = backend.dialogBaseUnits(platform::FontSpec{0, "MS Sans Serif"});
    EXPECT_EQ(noSize, units);
    SIZE unknown = backend.dialogBaseUnits(platform::FontSpec{8, "No Such Face"});
    EXPECT_NEAR(unknown.cx, units.cx, 2);
    EXPECT_NEAR(unknown.cy, units.cy, 3);
}

TEST_F(QtBackend, dialog_and_controls_sit_at_their_model_rectangles) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        platform::Window& window = *d.window().m_hWnd;
        QWidget* dialog = dialogWidget(d);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        RECT r = window.rect();
        EXPECT_EQ(dialog->size(), QSize(r.Width(), r.Height()));
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()); // not resizable
        // 260 x 170 dialog units of 6 x 13 pixels per 4 x 8 units, centred on the screen.
        EXPECT_NEAR(r.Width(), 390, 0);
        EXPECT_NEAR(r.Height(), 276, 0);
        QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        EXPECT_NEAR(dialog->x(), (screen.width() - r.Width()) / 2, 1);
        EXPECT_NEAR(dialog->y(), (screen.height() - r.Height()) / 2, 1);

        for (const auto& child : window.children()) {
            QWidget* w = platform::qt::widgetFor(child.get());
            ASSERT_NE(w, nullptr) << child->id();
            EXPECT_EQ(w->parentWidget(), dialog);
            EXPECT_EQ(w->font(), dialog->font());
            RECT c = child->rect();
            EXPECT_NEAR(w->x(), c.left, 0) << child->id();
            EXPECT_NEAR(w->y(), c.top, 0) << child->id();
            EXPECT_NEAR(w->width(), c.Width(), 0) << child->id();
            if (child->kind() == platform::ControlKind::ComboBox)
                EXPECT_NEAR(w->height(), window.baseUnits().cy + 8, 0); // one line, not the list
            else
                EXPECT_NEAR(w->height(), c.Height(), 0) << child->id();
        }
        // The edit at 50, 7 (75, 11 in pixels), and its move by the program.
        QWidget* edit = widget(d, 1000);
        EXPECT_EQ(edit->geometry(), QRect(75, 11, 150, 20));
        d.window().GetDlgItem(1000)->MoveWindow(10, 12, 80, 20);
        EXPECT_EQ(edit->geometry(), QRect(10, 12, 80, 20));
        d.escape();
    });
    CDialog dialog(100);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(QtBackend, a_dialog_without_owner_opens_above_the_host_window_in_its_client_area) {
    QMainWindow host;
    host.menuBar()->addMenu("File");
    host.setGeometry(200, 150, 500, 400);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    const QPoint client = host.mapToGlobal(QPoint(0, host.menuBar()->height()));
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        // Dialog 101 has no DS_CENTER and lies at 0, 0 of its template: at the top-left corner
        // of the host's client area, below the menu bar, as a window the host owns.
        QWidget* dialog = dialogWidget(d);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->parentWidget(), &host);
        RECT r = d.window().m_hWnd->rect();
        const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
        EXPECT_EQ(QPoint(r.left, r.top) + origin, client);
        EXPECT_EQ(dialog->pos(), client);
        d.click(IDCANCEL);
    });
    CDialog dialog(101);
    dialog.DoModal();
    host.hide();
}

TEST_F(QtBackend, cut_texts_show_whole_as_tool_tips_and_disabled_edits_look_disabled) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        CWnd& w = d.window();
        const std::string whole = "PF12/0087/A944 spigolo fabbricato con un nome lungo";
        // A static text cut by its rectangle, and a read-only edit.
        auto* label = widget<QLabel>(d, 1011);
        EXPECT_TRUE(label->toolTip().isEmpty());
        w.SetDlgItemText(1011, whole);
        EXPECT_EQ(label->toolTip().toStdString(), whole);
        w.SetDlgItemText(1011, "PF12");
        EXPECT_TRUE(label->toolTip().isEmpty());
        auto* readOnly = widget<QLineEdit>(d, 1001);
        w.SetDlgItemText(1001, whole);
        EXPECT_EQ(readOnly->toolTip().toStdString(), whole);
        w.SetDlgItemText(1001, "12");
        EXPECT_TRUE(readOnly->toolTip().isEmpty());
        // An edit a person types into shows what it holds, not a tip.
        auto* input = widget<QLineEdit>(d, 1000);
        w.SetDlgItemText(1000, whole);
        EXPECT_TRUE(input->toolTip().isEmpty());

        // Read-only and disabled edits show the dialog's face colour behind their text.
        const QColor face = dialogWidget(d)->palette().color(QPalette::Active, QPalette::Window);
        EXPECT_EQ(readOnly->palette().color(QPalette::Active, QPalette::Base), face);
        w.GetDlgItem(1000)->EnableWindow(false);
        EXPECT_FALSE(input->isEnabled());
        EXPECT_EQ(input->palette().color(QPalette::Disabled, QPalette::Base), face);
        EXPECT_NE(input->palette().color(QPalette::Active, QPalette::Base), face);
        d.click(IDCANCEL);
    });
    CDialog dialog(100);
    dialog.DoModal();
}

TEST_F(QtBackend, title_bar_follows_the_template_styles) {
    struct Expected {
        int id;
        const char* caption;
        bool closeBox;
        bool help;
    };
    for (Expected e :
         {Expected{100, "Prova", true, false}, Expected{101, "Senza chiusura", false, false},
          Expected{103, "Aiuto", true, true}}) {
        ScriptedUser user;
        user.onDialog([e](Dialog& d) {
            QWidget* dialog = dialogWidget(d);
            Qt::WindowFlags flags = dialog->windowFlags();
            EXPECT_EQ(dialog->windowTitle(), e.caption);
            EXPECT_TRUE(flags & Qt::WindowTitleHint) << e.id;
            EXPECT_EQ(bool(flags & Qt::WindowCloseButtonHint), e.closeBox) << e.id;
            EXPECT_EQ(bool(flags & Qt::WindowContextHelpButtonHint), e.help) << e.id;
            EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint) << e.id;
            EXPECT_TRUE(dialog->isModal());
            d.window().EndDialog(IDCANCEL);
        });
        CDialog dialog(static_cast<UINT>(e.id));
        dialog.DoModal();
    }
}

TEST_F(QtBackend, enter_in_an_edit_presses_the_default_button_and_escape_cancels) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) { QTest::keyClick(widget(d, 1000), Qt::Key_Return); });
    user.onDialog([](Dialog& d) { QTest::keyClick(widget(d, 1007), Qt::Key_Escape); });
    user.onDialog(
        [](Dialog& d) { QTest::keyClick(dialogWidget(d), Qt::Key_Enter, Qt::KeypadModifier); });
    CDialog first(100), second(100), third(100);
    EXPECT_EQ(first.DoModal(), IDOK);
    EXPECT_EQ(second.DoModal(), IDCANCEL);
    EXPECT_EQ(third.DoModal(), IDOK);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtBackend, enter_on_a_focused_push_button_runs_that_button) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setFocus(IDCANCEL);
        QTest::keyClick(widget(d, IDCANCEL), Qt::Key_Return);
    });
    CDialog dialog(100);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(QtBackend, enter_with_a_disabled_default_button_beeps_and_keeps_the_dialog_open) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        QTest::keyClick(widget(d, 1000), Qt::Key_Return);
        EXPECT_TRUE(d.isOpen());
        EXPECT_TRUE(dialogWidget(d)->isVisible());
        // Once the program enables it, Enter presses it.
        d.window().GetDlgItem(IDOK)->EnableWindow(true);
        QTest::keyClick(widget(d, 1000), Qt::Key_Return);
        EXPECT_FALSE(d.isOpen());
    });
    CDialog dialog(101);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(user.beeps(), 1);
}

TEST_F(QtBackend, close_box_closes_only_where_the_template_has_a_system_menu) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_FALSE(dialogWidget(d)->close());
        EXPECT_TRUE(d.isOpen());
        EXPECT_TRUE(dialogWidget(d)->isVisible());
        d.escape();
    });
    user.onDialog([](Dialog& d) {
        dialogWidget(d)->close();
        EXPECT_FALSE(d.isOpen());
    });
    CDialog withoutMenu(101), withMenu(100);
    EXPECT_EQ(withoutMenu.DoModal(), IDCANCEL);
    EXPECT_EQ(withMenu.DoModal(), IDCANCEL);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtBackend, modal_runs_wait_in_the_event_loop_and_nest) {
    // Nobody scripted: the dialogs wait for clicks on their widgets.
    Opener opener;
    bool innerShown = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] { // runs while the inner dialog waits
            ASSERT_NE(opener.inner, nullptr);
            QWidget* inner = platform::qt::widgetFor(opener.inner->m_hWnd);
            innerShown = inner != nullptr && inner->isVisible();
            QTest::mouseClick(widgetOf(opener.inner->GetDlgItem(IDCANCEL)), Qt::LeftButton);
        });
        QTest::mouseClick(widgetOf(opener.GetDlgItem(1020)), Qt::LeftButton);
        QTest::mouseClick(widgetOf(opener.GetDlgItem(IDOK)), Qt::LeftButton);
    });
    EXPECT_EQ(opener.DoModal(), IDOK);
    EXPECT_TRUE(innerShown);
    EXPECT_EQ(opener.innerResult, IDCANCEL);
}

/// Dialog 103 whose button 1020 calls back into "host" code that throws.
class Thrower : public CDialog {
public:
    Thrower() : CDialog(103) {}
    void onOpen() { throw std::runtime_error("host callback failed"); }
    DECLARE_MESSAGE_MAP()
};

/// Dialog 103 whose button 1020 runs a Thrower, clicked at once, and does not catch.
class OpensThrower : public CDialog {
public:
    OpensThrower() : CDialog(103) {}
    void onOpen() {
        Thrower inner;
        QTimer::singleShot(
            0, [&] { QTest::mouseClick(widgetOf(inner.GetDlgItem(1020)), Qt::LeftButton); });
        inner.DoModal();
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(Thrower, CDialog)
    ON_BN_CLICKED(1020, &Thrower::onOpen)
END_MESSAGE_MAP()
BEGIN_MESSAGE_MAP(OpensThrower, CDialog)
    ON_BN_CLICKED(1020, &OpensThrower::onOpen)
END_MESSAGE_MAP()
// clang-format on

TEST_F(QtBackend, an_exception_from_a_handler_leaves_the_modal_run_not_the_event_loop) {
    // A click in a real event loop: the exception must not unwind through Qt's dispatch. The
    // dialog ends unconfirmed and the exception comes out of DoModal, as it does headless.
    Thrower thrower;
    QTimer::singleShot(
        0, [&] { QTest::mouseClick(widgetOf(thrower.GetDlgItem(1020)), Qt::LeftButton); });
    EXPECT_THROW(thrower.DoModal(), std::runtime_error);
    EXPECT_EQ(thrower.m_hWnd, nullptr);
    EXPECT_EQ(thrower.GetModalResult(), IDCANCEL);

    // Thrown in a dialog run from inside another one: both runs end, in order.
    OpensThrower outer;
    QTimer::singleShot(
        0, [&] { QTest::mouseClick(widgetOf(outer.GetDlgItem(1020)), Qt::LeftButton); });
    EXPECT_THROW(outer.DoModal(), std::runtime_error);
    EXPECT_EQ(outer.m_hWnd, nullptr);

    // The backend is usable afterwards.
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.click(IDOK); });
    CDialog again(103);
    EXPECT_EQ(again.DoModal(), IDOK);
}

TEST_F(QtBackend, a_dialog_that_ends_while_it_starts_never_waits) {
    class EndsAtOnce : public CDialog {
    public:
        EndsAtOnce() : CDialog(100) {}
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            EndDialog(IDRETRY);
            return TRUE;
        }
    } dialog;
    EXPECT_EQ(dialog.DoModal(), IDRETRY);
}

TEST_F(QtBackend, message_boxes_have_italian_buttons_and_return_the_one_chosen) {
    QStringList labels;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool survivedEscape = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons())
            labels << button->text();
        icon = box->icon();
        QTest::keyClick(box, Qt::Key_Escape); // a yes/no question must be answered
        survivedEscape = box->isVisible();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == "No") button->click();
    });
    EXPECT_EQ(MessageBox(nullptr, "Salvo?", "Attenzione !", MB_YESNO | MB_ICONQUESTION), IDNO);
    labels.sort();
    EXPECT_EQ(labels, (QStringList{"No", "Sì"}));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_TRUE(survivedEscape);

    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        labels.clear();
        for (QAbstractButton* button : box->buttons())
            labels << button->text();
        icon = box->icon();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(MessageBox(nullptr, "Riprovo?", "Errore", MB_RETRYCANCEL | MB_ICONEXCLAMATION),
              IDCANCEL);
    labels.sort();
    EXPECT_EQ(labels, (QStringList{"Annulla", "Riprova"}));
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST_F(QtBackend, message_boxes_and_beeps_go_to_the_scripted_user_when_there_is_one) {
    ScriptedUser user;
    user.onMessageBox([](const automation::MessageBoxCall& m) {
        EXPECT_EQ(m.text, "Immettere un numero.");
        EXPECT_EQ(m.type, MB_OK | MB_ICONEXCLAMATION);
        return IDOK;
    });
    EXPECT_EQ(MessageBox(nullptr, "Immettere un numero.", "", MB_OK | MB_ICONEXCLAMATION), IDOK);
    MessageBeep(MB_ICONEXCLAMATION);
    EXPECT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.beeps(), 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(QtBackend, grab_saves_the_dialog_with_its_title_bar_as_png) {
    std::string path = temporaryPng("grab");
    QSize client;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        client = dialogWidget(d)->size();
        EXPECT_TRUE(platform::qt::grab(d.window(), path));
        EXPECT_FALSE(platform::qt::grab(d.window(), "/nonexistent-folder/x.png"));
        EXPECT_FALSE(platform::qt::grab(d.window(), ""));
        d.escape();
    });
    CDialog dialog(100);
    dialog.DoModal();
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), client.width(), 2);
    EXPECT_GT(image.height(), client.height() + 10); // the caption bar above the client area
    EXPECT_LT(image.height(), client.height() + 60);
    std::filesystem::remove(path);

    // A dialog without a window has nothing to show.
    CDialog notCreated(100);
    EXPECT_FALSE(platform::qt::grab(notCreated, temporaryPng("none")));
}

TEST_F(QtBackend, widgets_exist_only_while_the_qt_backend_is_current) {
    EXPECT_EQ(platform::qt::widgetFor(nullptr), nullptr);
    platform::useHeadlessBackend();
    {
        ScriptedUser user;
        user.onDialog([](Dialog& d) {
            EXPECT_EQ(dialogWidget(d), nullptr);
            d.escape();
        });
        CDialog dialog(100);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    ASSERT_TRUE(platform::qt::install());
    EXPECT_EQ(platform::backend().name(), "qt");
}
