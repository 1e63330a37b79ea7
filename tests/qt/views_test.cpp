// The Qt views of the controls: what a person does in a widget reaches the model as the same
// user action the automation API performs, and what the program changes shows in the widgets
// without reading as the user.
#include "QtTestSupport.h"

#include "platform/qt/View.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <string>
#include <vector>

using automation::Dialog;
using automation::ScriptedUser;
using namespace qttest;

namespace {

std::string joined(const std::vector<int>& values) {
    std::string text;
    for (int v : values)
        text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
}

/// Dialog 100 with its lists filled, writing every notification it receives into a log.
class Probe : public CDialog {
public:
    Probe() : CDialog(100) {}
    std::vector<std::string> log;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        auto* combo = static_cast<CComboBox*>(GetDlgItem(1006));
        for (const char* text : {"Nord", "Est", "Quota"})
            combo->AddString(text);
        auto* single = static_cast<CListBox*>(GetDlgItem(1007));
        for (const char* text : {"A", "B", "C"})
            single->AddString(text);
        auto* multi = static_cast<CListBox*>(GetDlgItem(1008));
        for (const char* text : {"X", "Y", "Z"})
            multi->AddString(text);
        auto* view = static_cast<CListCtrl*>(GetDlgItem(1009));
        view->InsertColumn(0, "Nome", LVCFMT_LEFT, 40);
        view->InsertColumn(1, "Quota", LVCFMT_RIGHT, 30);
        for (int i = 0; i < 3; ++i) {
            view->InsertItem(i, "P" + std::to_string(i + 1));
            view->SetItemText(i, 1, std::to_string(10 * (i + 1)));
        }
        return TRUE;
    }

    std::string checkOf(int id) const {
        return std::to_string(static_cast<CButton*>(GetDlgItem(id))->GetCheck());
    }
    int selOf(int id) const { return m_hWnd->findChild(id)->curSel(); }

    void onName() { log.push_back("name:" + GetDlgItemText(1000)); }
    void onAuto() { log.push_back("auto:" + checkOf(1002)); }
    void onManual() { log.push_back("manual:" + checkOf(1003)); }
    void onOne() { log.push_back("one:" + checkOf(1004) + checkOf(1005)); }
    void onTwo() { log.push_back("two:" + checkOf(1004) + checkOf(1005)); }
    void onCombo() { log.push_back("combo:" + std::to_string(selOf(1006))); }
    void onList() { log.push_back("list:" + std::to_string(selOf(1007))); }
    void onListDouble() { log.push_back("list double:" + std::to_string(selOf(1007))); }
    void onMulti() { log.push_back("multi:" + joined(m_hWnd->findChild(1008)->selectedIndices())); }
    void onViewChanged(NMHDR* h, LRESULT*) { logItem("view changed:", h); }
    void onViewClick(NMHDR* h, LRESULT*) { logItem("view click:", h); }
    void onViewDouble(NMHDR* h, LRESULT*) { logItem("view double:", h); }

private:
    void logItem(const char* what, NMHDR* h) {
        log.push_back(what + std::to_string(reinterpret_cast<NMITEMACTIVATE*>(h)->iItem));
    }

    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(Probe, CDialog)
    ON_EN_CHANGE(1000, &Probe::onName)
    ON_BN_CLICKED(1002, &Probe::onAuto)
    ON_BN_CLICKED(1003, &Probe::onManual)
    ON_BN_CLICKED(1004, &Probe::onOne)
    ON_BN_CLICKED(1005, &Probe::onTwo)
    ON_CBN_SELCHANGE(1006, &Probe::onCombo)
    ON_LBN_SELCHANGE(1007, &Probe::onList)
    ON_LBN_DBLCLK(1007, &Probe::onListDouble)
    ON_LBN_SELCHANGE(1008, &Probe::onMulti)
    ON_NOTIFY(LVN_ITEMCHANGED, 1009, &Probe::onViewChanged)
    ON_NOTIFY(NM_CLICK, 1009, &Probe::onViewClick)
    ON_NOTIFY(NM_DBLCLK, 1009, &Probe::onViewDouble)
END_MESSAGE_MAP()
// clang-format on

/// What a person sees of dialog 100, read from the model.
struct Seen {
    std::string name;
    std::vector<bool> checks;
    std::vector<int> selections;
    int focus = 0;
    bool operator==(const Seen&) const = default;
};

Seen seen(Dialog& d) {
    Seen s;
    s.name = d.text(1000);
    for (int id : {1002, 1003, 1004, 1005})
        s.checks.push_back(d.checked(id));
    s.selections = {d.selection(1006), d.selection(1007), d.selection(1009)};
    for (int i : d.selections(1008))
        s.selections.push_back(100 + i);
    s.focus = d.focus();
    return s;
}

QPoint rowCentre(QListWidget* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}
QPoint rowCentre(QTreeWidget* tree, int row) {
    return tree->visualItemRect(tree->topLevelItem(row)).center();
}

class QtViews : public ::testing::Test {
protected:
    void SetUp() override { useQtBackend(); }
    CurrentResources resources{parse(kProbeScript)};
};

} // namespace

TEST_F(QtViews, widgets_and_automation_give_the_same_notifications_and_state) {
    // A physical double click is a click and then a double click: the automation script says
    // both, and the widgets receive both (a press, then the double click in place of the
    // second press).
    Probe byAutomation;
    Seen automationSeen;
    {
        ScriptedUser user;
        user.onDialog([&](Dialog& d) {
            d.type(1000, "P1");
            d.click(1002);
            d.click(1003);
            d.click(1005);
            d.select(1006, 2);
            d.select(1007, 1);
            d.select(1007, 2);
            d.doubleClick(1007, 2);
            d.select(1008, 0);
            d.select(1008, 2);
            d.select(1008, 0);
            d.select(1009, 1);
            d.select(1009, 0);
            d.doubleClick(1009, 0);
            automationSeen = seen(d);
            d.click(IDOK);
        });
        EXPECT_EQ(byAutomation.DoModal(), IDOK);
        EXPECT_EQ(user.unexpected(), 0);
    }

    Probe byWidgets;
    Seen widgetsSeen;
    {
        ScriptedUser user;
        user.onDialog([&](Dialog& d) {
            QTest::keyClicks(widget<QLineEdit>(d, 1000), "P1");
            for (int id : {1002, 1003, 1005}) {
                QWidget* box = widget(d, id);
                QTest::mouseClick(box, Qt::LeftButton, {}, onBox(box));
            }
            auto* combo = widget<QComboBox>(d, 1006);
            emit combo->activated(2); // the choice in the drop-down list
            auto* list = widget<QListWidget>(d, 1007);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 2));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 2));
            auto* multi = widget<QListWidget>(d, 1008);
            for (int row : {0, 2, 0})
                QTest::mouseClick(multi->viewport(), Qt::LeftButton, {}, rowCentre(multi, row));
            auto* view = widget<QTreeWidget>(d, 1009);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 1));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 0));
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 0));
            widgetsSeen = seen(d);
            QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
        });
        EXPECT_EQ(byWidgets.DoModal(), IDOK);
        EXPECT_EQ(user.unexpected(), 0);
    }

    EXPECT_EQ(byWidgets.log, byAutomation.log);
    EXPECT_EQ(widgetsSeen, automationSeen);
    EXPECT_EQ(widgetsSeen.name, "P1");
    EXPECT_EQ(widgetsSeen.checks, (std::vector<bool>{true, false, false, true}));
}

TEST_F(QtViews, program_changes_show_in_the_widgets_without_reading_as_the_user) {
    Probe probe;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        probe.log.clear();
        probe.SetDlgItemText(1000, "Dal programma");
        static_cast<CButton*>(probe.GetDlgItem(1002))->SetCheck(BST_CHECKED);
        static_cast<CButton*>(probe.GetDlgItem(1005))->SetCheck(BST_CHECKED);
        static_cast<CComboBox*>(probe.GetDlgItem(1006))->SetCurSel(1);
        static_cast<CListBox*>(probe.GetDlgItem(1007))->SetCurSel(2);
        static_cast<CListBox*>(probe.GetDlgItem(1008))->SetSel(1);
        static_cast<CListCtrl*>(probe.GetDlgItem(1009))
            ->SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
        static_cast<CListBox*>(probe.GetDlgItem(1007))->InsertString(0, "Primo");

        // Only the edit notifies, as the original does when the program changes an edit's text.
        EXPECT_EQ(probe.log, (std::vector<std::string>{"name:Dal programma"}));
        EXPECT_EQ(widget<QLineEdit>(d, 1000)->text(), "Dal programma");
        EXPECT_TRUE(widget<QCheckBox>(d, 1002)->isChecked());
        EXPECT_TRUE(widget<QRadioButton>(d, 1005)->isChecked());
        EXPECT_FALSE(widget<QRadioButton>(d, 1004)->isChecked());
        EXPECT_EQ(widget<QComboBox>(d, 1006)->currentText(), "Est");
        auto* list = widget<QListWidget>(d, 1007);
        ASSERT_EQ(list->count(), 4);
        EXPECT_EQ(list->item(0)->text(), "Primo");
        ASSERT_EQ(list->selectedItems().size(), 1);
        EXPECT_EQ(list->selectedItems().front()->text(), "C"); // the selection moved with its entry
        ASSERT_EQ(widget<QListWidget>(d, 1008)->selectedItems().size(), 1);
        EXPECT_EQ(widget<QListWidget>(d, 1008)->selectedItems().front()->text(), "Y");
        ASSERT_EQ(widget<QTreeWidget>(d, 1009)->selectedItems().size(), 1);
        EXPECT_EQ(widget<QTreeWidget>(d, 1009)->selectedItems().front()->text(0), "P3");

        probe.GetDlgItem(1002)->EnableWindow(false);
        probe.GetDlgItem(1003)->ShowWindow(SW_HIDE);
        static_cast<CEdit*>(probe.GetDlgItem(1001))->SetReadOnly(false);
        EXPECT_FALSE(widget(d, 1002)->isEnabled());
        EXPECT_FALSE(widget(d, 1003)->isVisible());
        EXPECT_FALSE(widget<QLineEdit>(d, 1001)->isReadOnly());
        EXPECT_EQ(probe.log.size(), 1u);
        d.escape();
    });
    EXPECT_EQ(probe.DoModal(), IDCANCEL);
}

TEST_F(QtViews, a_check_box_shows_the_model_state_not_its_own_toggle) {
    Probe probe;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        auto* manual = widget<QCheckBox>(d, 1003); // BS_CHECKBOX: the program decides
        QTest::mouseClick(manual, Qt::LeftButton, {}, onBox(manual));
        EXPECT_FALSE(manual->isChecked());
        EXPECT_FALSE(d.checked(1003));
        static_cast<CButton*>(probe.GetDlgItem(1003))->SetCheck(BST_CHECKED);
        QTest::mouseClick(manual, Qt::LeftButton, {}, onBox(manual));
        EXPECT_TRUE(manual->isChecked());

        auto* automatic = widget<QCheckBox>(d, 1002); // BS_AUTOCHECKBOX: toggles itself
        QTest::mouseClick(automatic, Qt::LeftButton, {}, onBox(automatic));
        EXPECT_TRUE(automatic->isChecked());
        EXPECT_TRUE(d.checked(1002));
        d.escape();
    });
    probe.DoModal();
    EXPECT_EQ(probe.log, (std::vector<std::string>{"manual:0", "manual:1", "auto:1"}));
}

TEST_F(QtViews, radio_buttons_are_grouped_by_the_model_and_a_second_click_keeps_the_check) {
    Probe probe;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        auto* one = widget<QRadioButton>(d, 1004);
        auto* two = widget<QRadioButton>(d, 1005);
        QTest::mouseClick(two, Qt::LeftButton, {}, onBox(two));
        QTest::mouseClick(one, Qt::LeftButton, {}, onBox(one));
        QTest::mouseClick(one, Qt::LeftButton, {}, onBox(one));
        EXPECT_TRUE(one->isChecked());
        EXPECT_FALSE(two->isChecked());
        EXPECT_TRUE(d.checked(1004));
        EXPECT_FALSE(d.checked(1005));
        d.escape();
    });
    probe.DoModal();
    EXPECT_EQ(probe.log, (std::vector<std::string>{"two:01", "one:10", "one:10"}));
}

TEST_F(QtViews, keyboard_moves_the_selection_of_lists_through_the_model) {
    Probe probe;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        auto* list = widget<QListWidget>(d, 1007);
        QTest::keyClick(list, Qt::Key_Down); // first entry
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(d.selection(1007), 1);
        ASSERT_EQ(list->selectedItems().size(), 1);
        EXPECT_EQ(list->selectedItems().front()->text(), "B");

        // In a multiple-selection list the arrows only move the caret; Space toggles.
        auto* multi = widget<QListWidget>(d, 1008);
        QTest::keyClick(multi, Qt::Key_Down);
        QTest::keyClick(multi, Qt::Key_Down);
        EXPECT_TRUE(d.selections(1008).empty());
        QTest::keyClick(multi, Qt::Key_Space);
        EXPECT_EQ(d.selections(1008), (std::vector<int>{1}));

        auto* combo = widget<QComboBox>(d, 1006);
        QTest::keyClick(combo, Qt::Key_Down);
        EXPECT_EQ(d.selection(1006), combo->currentIndex());
        EXPECT_GE(d.selection(1006), 0);
        d.escape();
    });
    probe.DoModal();
    ASSERT_GE(probe.log.size(), 4u);
    EXPECT_EQ(probe.log[0], "list:0");
    EXPECT_EQ(probe.log[1], "list:1");
    EXPECT_EQ(probe.log[2], "multi:1");
    EXPECT_EQ(probe.log[3].rfind("combo:", 0), 0u);
}

TEST_F(QtViews, tab_order_is_the_template_order_of_the_tab_stops) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        std::vector<QWidget*> expected;
        for (int id : {1000, 1002, 1003, 1004, 1006, 1007, 1008, 1009, IDOK, IDCANCEL})
            expected.push_back(widget(d, id));
        std::vector<QWidget*> chain;
        QWidget* start = expected.front();
        QWidget* w = start;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(dialogWidget(d)))
                chain.push_back(w);
            w = w->nextInFocusChain();
        } while (w != start && chain.size() < 50);
        EXPECT_EQ(chain, expected);
        EXPECT_EQ(widget(d, 1001)->focusPolicy(), Qt::ClickFocus); // read-only, no tab stop
        EXPECT_EQ(widget(d, 1005)->focusPolicy(), Qt::ClickFocus); // second radio of its group
        EXPECT_EQ(widget(d, 1012)->focusPolicy(), Qt::NoFocus);    // a label
        d.escape();
    });
    CDialog dialog(100);
    dialog.DoModal();
}

TEST_F(QtViews, focus_of_the_model_and_of_the_widgets_follow_each_other) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        QWidget* dialog = dialogWidget(d);
        EXPECT_EQ(d.focus(), 1000); // the first tab stop
        EXPECT_EQ(dialog->focusWidget(), widget(d, 1000));
        d.setFocus(1009);
        EXPECT_EQ(dialog->focusWidget(), widget(d, 1009));
        // Tab and Shift+Tab move along the tab stops, and the model follows.
        QTest::keyClick(widget(d, 1009), Qt::Key_Tab);
        EXPECT_EQ(d.focus(), IDOK);
        QTest::keyClick(widget(d, IDOK), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(d.focus(), 1009);
        // The focused push button looks like the default one, as Enter would press it.
        auto* ok = widget<QPushButton>(d, IDOK);
        auto* cancel = widget<QPushButton>(d, IDCANCEL);
        EXPECT_TRUE(ok->isDefault());
        EXPECT_FALSE(cancel->isDefault());
        d.setFocus(IDCANCEL);
        EXPECT_TRUE(cancel->isDefault());
        EXPECT_FALSE(ok->isDefault());
        d.setFocus(1009);
        EXPECT_TRUE(ok->isDefault());
        EXPECT_FALSE(cancel->isDefault());
        // The access key of the label "&Nome:" leads to the edit after it.
        QTest::keyClick(dialog, Qt::Key_N, Qt::AltModifier);
        EXPECT_EQ(d.focus(), 1000);
        // A click in a widget moves the model's focus.
        QTest::mouseClick(widget(d, 1002), Qt::LeftButton, {}, onBox(widget(d, 1002)));
        EXPECT_EQ(d.focus(), 1002);
        EXPECT_EQ(dialog->focusWidget(), widget(d, 1002));
        // Disabling the focused control leaves nobody with the focus, in both.
        d.window().GetDlgItem(1002)->EnableWindow(false);
        EXPECT_EQ(d.focus(), 0);
        EXPECT_NE(dialog->focusWidget(), widget(d, 1002));
        d.escape();
    });
    CDialog dialog(100);
    dialog.DoModal();
}

TEST_F(QtViews, a_label_access_key_leads_to_the_next_tab_stop_unless_prefixes_are_off) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        QLabel* name = nullptr;
        for (QLabel* label : dialogWidget(d)->findChildren<QLabel*>())
            if (label->text() == "&Nome:") name = label;
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->buddy(), widget(d, 1000));

        auto* noPrefix = widget<QLabel>(d, 1010);
        EXPECT_EQ(noPrefix->text(), "Punti && linee"); // shown as written
        EXPECT_EQ(noPrefix->buddy(), nullptr);
        auto* doubled = widget<QLabel>(d, 1011);
        EXPECT_EQ(doubled->text(), "A & B");
        auto* last = widget<QLabel>(d, 1012); // nothing after it to lead to
        EXPECT_EQ(last->buddy(), nullptr);
        EXPECT_EQ(last->text(), "Ultima");
        d.escape();
    });
    CDialog dialog(100);
    dialog.DoModal();
}

TEST_F(QtViews, group_boxes_lie_behind_the_controls_they_frame) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        QWidget* dialog = dialogWidget(d);
        QWidget* box = nullptr;
        for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->geometry().contains(widget(d, 1002)->geometry()) && w != widget(d, 1002))
                box = w;
        ASSERT_NE(box, nullptr);
        const QObjectList& stacking = dialog->children(); // bottom first
        for (int id : {1002, 1003, 1004, 1005, 1006})
            EXPECT_LT(stacking.indexOf(box), stacking.indexOf(widget(d, id))) << id;
        EXPECT_TRUE(box->testAttribute(Qt::WA_TransparentForMouseEvents));
        d.escape();
    });
    CDialog dialog(100);
    dialog.DoModal();
}

namespace {

/// A window that makes a child edit while it is being created.
class Holder : public CWnd {
public:
    CEdit m_edit;
    int OnCreate(LPCREATESTRUCT) {
        return m_edit.Create("Edit", "dentro", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP,
                             RECT{2, 2, 62, 22}, this, 1040)
                   ? 0
                   : -1;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(Holder, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

/// A label-like view for windows of class "ProbeGauge".
class GaugeView : public platform::qt::View {
public:
    GaugeView(platform::Window& window, QLabel* label) : View(window, label), m_label(label) {}
    void update(platform::Change what) override {
        if (what == platform::Change::Text)
            m_label->setText(platform::qt::toQString(window().text()));
        View::update(what);
    }

private:
    QLabel* m_label;
};

} // namespace

TEST_F(QtViews, windows_made_at_run_time_get_views_and_lose_them_when_destroyed) {
    platform::qt::registerView("ProbeGauge", [](platform::Window& w, QWidget* parent) {
        return std::make_unique<GaugeView>(w, new QLabel(parent));
    });
    QPointer<QWidget> dialogShown, gaugeShown, innerShown;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        CWnd& dialog = d.window();
        CWnd gauge;
        ASSERT_TRUE(gauge.Create("probegauge", "75%", WS_CHILD | WS_VISIBLE, RECT{5, 5, 65, 20},
                                 &dialog, 1050));
        gaugeShown = platform::qt::widgetFor(gauge.m_hWnd);
        ASSERT_TRUE(qobject_cast<QLabel*>(gaugeShown.data()));
        EXPECT_EQ(qobject_cast<QLabel*>(gaugeShown.data())->text(), "75%");
        gauge.SetWindowText("80%");
        EXPECT_EQ(qobject_cast<QLabel*>(gaugeShown.data())->text(), "80%");

        // The edit is made while its holder is being created, before the holder has a view.
        Holder holder;
        ASSERT_TRUE(holder.Create("ProbeHolder", "", WS_CHILD | WS_VISIBLE, RECT{5, 30, 75, 60},
                                  &dialog, 1041));
        QWidget* holderWidget = platform::qt::widgetFor(holder.m_hWnd);
        innerShown = platform::qt::widgetFor(holder.m_edit.m_hWnd);
        ASSERT_TRUE(innerShown);
        EXPECT_EQ(innerShown->parentWidget(), holderWidget);
        EXPECT_TRUE(innerShown->isVisible());
        EXPECT_EQ(qobject_cast<QLineEdit*>(innerShown.data())->text(), "dentro");
        EXPECT_TRUE(d.setText(1040, "scritto"));

        gauge.DestroyWindow();
        EXPECT_FALSE(gaugeShown);
        dialogShown = dialogWidget(d);
        d.escape();
    });
    CDialog dialog(100);
    dialog.DoModal();
    EXPECT_FALSE(dialogShown);
    EXPECT_FALSE(innerShown);
}

namespace {

/// Dialog 103, whose button 1020 destroys itself when clicked.
class SelfDestroying : public CDialog {
public:
    SelfDestroying() : CDialog(103) {}
    void onOpen() { GetDlgItem(1020)->DestroyWindow(); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(SelfDestroying, CDialog)
    ON_BN_CLICKED(1020, &SelfDestroying::onOpen)
END_MESSAGE_MAP()
// clang-format on

} // namespace

TEST_F(QtViews, a_button_that_destroys_its_own_window_when_clicked_goes_away_safely) {
    QPointer<QWidget> button;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        button = widget(d, 1020);
        ASSERT_TRUE(button);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(d.exists(1020));
        EXPECT_TRUE(!button || !button->isVisible());
        EXPECT_TRUE(d.click(IDOK));
    });
    SelfDestroying dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(button);
}

TEST_F(QtViews, a_page_is_a_plain_widget_inside_its_dialog_in_the_tab_order) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        CDialog page(104);
        ASSERT_TRUE(page.Create(104, &d.window()));
        QWidget* pageWidget = platform::qt::widgetFor(page.m_hWnd);
        ASSERT_NE(pageWidget, nullptr);
        EXPECT_FALSE(pageWidget->isWindow());
        EXPECT_EQ(pageWidget->parentWidget(), dialogWidget(d));
        QWidget* edit = platform::qt::widgetFor(page.m_hWnd->findChild(1030));
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->parentWidget(), pageWidget);
        EXPECT_EQ(edit->font(), dialogWidget(d)->font());
        EXPECT_TRUE(edit->focusPolicy() & Qt::TabFocus);
        // The page came last, so its tab stop follows the dialog's last one.
        QWidget* next = widget(d, IDCANCEL)->nextInFocusChain();
        while (next != nullptr && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, edit);
        QTest::keyClicks(edit, "12");
        EXPECT_EQ(page.GetDlgItemText(1030), "12");
        d.escape();
    });
    CDialog dialog(100);
    dialog.DoModal();
}

TEST_F(QtViews, a_multi_line_edit_keeps_its_line_breaks_and_takes_enter_only_when_it_wants_it) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        CEdit notes, plain;
        DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_MULTILINE;
        ASSERT_TRUE(notes.Create("Edit", "riga 1\r\nriga 2", style | ES_WANTRETURN,
                                 RECT{5, 5, 105, 45}, &d.window(), 1060));
        ASSERT_TRUE(plain.Create("Edit", "", style, RECT{110, 5, 210, 45}, &d.window(), 1061));
        auto* box = qobject_cast<QPlainTextEdit*>(platform::qt::widgetFor(notes.m_hWnd));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->toPlainText(), "riga 1\nriga 2");
        box->moveCursor(QTextCursor::End);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "3");
        EXPECT_EQ(d.text(1060), "riga 1\r\nriga 2\r\n3");
        EXPECT_TRUE(d.isOpen());
        QTest::keyClick(platform::qt::widgetFor(plain.m_hWnd), Qt::Key_Return);
        EXPECT_FALSE(d.isOpen()); // the default button took it
    });
    CDialog dialog(100);
    EXPECT_EQ(dialog.DoModal(), IDOK);
}
