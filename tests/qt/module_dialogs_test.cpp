// The module's dialogs in real widgets: the same exported call gives the same result whether
// the user acts through the automation API or through the widgets, and every template of the
// module's resource script renders with its controls inside the dialog, apart from one
// another, their texts readable and the group boxes behind.
#include "QtTestSupport.h"

#include "SmallBook.h"
#include "gpsdialogs/GpsDialogs.h"
#include "resource.h" // the module's control ids

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

using automation::Dialog;
using automation::ScriptedUser;
using namespace qttest;

namespace {

class QtModuleDialogs : public ::testing::Test {
protected:
    void SetUp() override { useQtBackend(); }
};

struct Search {
    bool confirmed = false;
    std::string text = "proposta";
    bool inName = true;
    bool inCode = false;
    bool operator==(const Search&) const = default;
};

Search runSearch(const std::function<void(Dialog&)>& act) {
    ScriptedUser user;
    user.onDialog(act);
    Search s;
    s.confirmed = FDlgFindPunGps(s.text, s.inName, s.inCode);
    EXPECT_EQ(user.unexpected(), 0) << (user.unexpected() ? user.unexpectedLog().front() : "");
    return s;
}

/// Sets a check box with a click on its box, as a person would, when it is not as wanted.
void setByClick(QCheckBox* box, bool checked) {
    if (box->isChecked() != checked) QTest::mouseClick(box, Qt::LeftButton, {}, onBox(box));
}

/// Replaces the text of a line edit by typing over its selected text.
void typeOver(QLineEdit* edit, const char* text) {
    edit->selectAll();
    if (*text == '\0')
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

struct ThreeGroups {
    CLibGps book;
    std::vector<CGrpGps*> groups;
    ThreeGroups() {
        for (const char* name : {"Rilievo A", "Rilievo B", "Rilievo C"})
            groups.push_back(book.AddGrp(name));
    }
};

std::vector<CGrpGps*> runPrintChoice(ThreeGroups& sample, const std::function<void(Dialog&)>& act,
                                     bool& confirmed) {
    ScriptedUser user;
    user.onDialog(act);
    std::vector<CGrpGps*> chosen;
    confirmed = FDlgSelGrpLibGps(&sample.groups, &chosen);
    EXPECT_EQ(user.unexpected(), 0);
    return chosen;
}

} // namespace

TEST_F(QtModuleDialogs, search_gives_the_same_result_through_widgets_and_automation) {
    Search byAutomation = runSearch([](Dialog& d) {
        d.setText(IDC_FIND_TEXT, "A5");
        if (d.checked(IDC_FIND_IN_NAME)) d.click(IDC_FIND_IN_NAME);
        if (!d.checked(IDC_FIND_IN_CODE)) d.click(IDC_FIND_IN_CODE);
        d.click(IDOK);
    });
    Search byWidgets = runSearch([](Dialog& d) {
        typeOver(widget<QLineEdit>(d, IDC_FIND_TEXT), "A5");
        EXPECT_TRUE(widget(d, IDOK)->isEnabled()); // the dialog enabled "&Successivo"
        setByClick(widget<QCheckBox>(d, IDC_FIND_IN_NAME), false);
        setByClick(widget<QCheckBox>(d, IDC_FIND_IN_CODE), true);
        QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(byWidgets, byAutomation);
    EXPECT_EQ(byWidgets, (Search{true, "A5", false, true}));

    // Enter in the text confirms as well, through the default button.
    Search byEnter = runSearch([](Dialog& d) {
        typeOver(widget<QLineEdit>(d, IDC_FIND_TEXT), "B7");
        QTest::keyClick(widget(d, IDC_FIND_TEXT), Qt::Key_Return);
    });
    EXPECT_EQ(byEnter, (Search{true, "B7", false, true}));
}

TEST_F(QtModuleDialogs, search_with_an_empty_text_beeps_on_enter_and_stays_open) {
    bool stayedOpen = false;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        auto* edit = widget<QLineEdit>(d, IDC_FIND_TEXT);
        typeOver(edit, "");
        EXPECT_TRUE(edit->text().isEmpty());
        EXPECT_FALSE(widget(d, IDOK)->isEnabled());
        QTest::keyClick(edit, Qt::Key_Return);
        stayedOpen = d.isOpen() && dialogWidget(d)->isVisible();
        QTest::keyClick(edit, Qt::Key_Escape);
    });
    std::string text = "x";
    bool inName = false, inCode = true;
    EXPECT_FALSE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(user.beeps(), 1);
    EXPECT_EQ(user.unexpected(), 0);
    EXPECT_EQ(text, "x"); // cancelled: nothing written back
    EXPECT_FALSE(inName);
    EXPECT_TRUE(inCode);
}

TEST_F(QtModuleDialogs, print_choice_gives_the_same_groups_through_widgets_and_automation) {
    ThreeGroups sample;
    bool confirmedByAutomation = false, confirmedByWidgets = false;
    std::vector<CGrpGps*> byAutomation = runPrintChoice(
        sample,
        [](Dialog& d) {
            for (int row : {2, 0, 1, 1})
                d.select(IDC_PRINT_GROUPS, row);
            d.click(IDOK);
        },
        confirmedByAutomation);
    std::vector<CGrpGps*> byWidgets = runPrintChoice(
        sample,
        [](Dialog& d) {
            auto* list = widget<QListWidget>(d, IDC_PRINT_GROUPS);
            ASSERT_EQ(list->count(), 3);
            EXPECT_EQ(list->item(1)->text(), "Rilievo B");
            for (int row : {2, 0, 1, 1}) // each click toggles; the second one on B takes it back
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(row)).center());
            EXPECT_EQ(list->selectedItems().size(), 2);
            QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
        },
        confirmedByWidgets);
    EXPECT_TRUE(confirmedByAutomation);
    EXPECT_TRUE(confirmedByWidgets);
    EXPECT_EQ(byWidgets, byAutomation);
    EXPECT_EQ(byWidgets, (std::vector<CGrpGps*>{sample.groups[0], sample.groups[2]}));
}

TEST_F(QtModuleDialogs, displays_show_host_names_with_ampersands_as_typed_and_no_undefined_value) {
    CLibGps book;
    CGrpGps* group = book.AddGrp("Soci & C.");
    group->SetNome("Rossi & Figli");
    CPunGps* point = book.AddPun(0);
    point->SetNome("Rossi & Figli");
    point->SetCode("A&B");
    ScriptedUser user;
    auto expectAsTyped = [](Dialog& d, int id, const char* text) {
        auto* label = widget<QLabel>(d, id);
        ASSERT_NE(label, nullptr) << id;
        EXPECT_EQ(label->text(), text) << id;
        EXPECT_EQ(label->buddy(), nullptr) << id; // a buddy would make the '&' an access key
    };
    user.onDialog([&](Dialog& d) {
        expectAsTyped(d, IDC_SHOW_POINT_NAME, "Rossi & Figli");
        expectAsTyped(d, IDC_SHOW_POINT_CODE, "A&B");
        expectAsTyped(d, IDC_SHOW_POINT_GROUP, "Soci & C.");
        for (int id : {IDC_SHOW_POINT_EAST, IDC_SHOW_POINT_NORTH, IDC_SHOW_POINT_HEIGHT})
            expectAsTyped(d, id, "");
        QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
    });
    user.onDialog([&](Dialog& d) {
        expectAsTyped(d, IDC_SHOW_BASE_STATION, "Rossi & Figli");
        expectAsTyped(d, IDC_SHOW_BASE_GROUP, "Soci & C.");
        for (int id : {IDC_SHOW_BASE_EAST, IDC_SHOW_BASE_NORTH, IDC_SHOW_BASE_HEIGHT})
            expectAsTyped(d, id, "");
        QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
    });
    EXPECT_TRUE(FMostraPunGps(point));
    EXPECT_TRUE(FMostraGrpGps(group));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtModuleDialogs, print_choice_lists_group_names_with_ampersands_as_typed) {
    CLibGps book;
    std::vector<CGrpGps*> groups{book.AddGrp("Soci & C."), book.AddGrp("A&&B")};
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        auto* list = widget<QListWidget>(d, IDC_PRINT_GROUPS);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text(), "Soci & C.");
        EXPECT_EQ(list->item(1)->text(), "A&&B");
        EXPECT_EQ(d.items(IDC_PRINT_GROUPS), (std::vector<std::string>{"Soci & C.", "A&&B"}));
        d.click(IDOK);
    });
    std::vector<CGrpGps*> chosen;
    EXPECT_TRUE(FDlgSelGrpLibGps(&groups, &chosen));
    EXPECT_EQ(user.unexpected(), 0);
}

// --- Every template -----------------------------------------------------------------------------

namespace {

constexpr UINT kHostTemplate = 1;

/// A dialog that shows one page template as its child, as the page sheet does.
class PageHost : public CDialog {
public:
    explicit PageHost(UINT page) : CDialog(kHostTemplate), m_pageId(page) {}
    CDialog m_page{0};

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (!m_page.Create(m_pageId, this)) return FALSE;
        m_page.EnableWindow(true); // pages are disabled until their sheet shows them
        return TRUE;
    }

private:
    UINT m_pageId;
};

std::shared_ptr<platform::ResourceModule> moduleResources() {
    const std::string folder = std::string(GPS_SOURCE_DIR) + "/resources/";
    std::optional<std::string> script = readFile(folder + "gpsdialogs.rc");
    if (!script) return nullptr;
    platform::ParseResult parsed =
        platform::parseResourceScript(*script, "gpsdialogs.rc", [folder](const std::string& name) {
            return readFile(folder + name);
        });
    EXPECT_TRUE(parsed.module) << parsed.error;
    return parsed.module;
}

bool isInput(platform::ControlKind kind) {
    using platform::ControlKind;
    switch (kind) {
    case ControlKind::Edit:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return true;
    default:
        return false;
    }
}

std::string withoutAccessKeys(const QString& text) {
    QString shown = text;
    shown.replace("&&", "\x01").remove('&').replace("\x01", "&");
    return shown.toStdString();
}

/// Checks one dialog or page: its visible controls inside it, the inputs apart, texts that fit,
/// group boxes behind what they frame.
void inspect(const platform::Window& root, int templateId) {
    QWidget* container = platform::qt::widgetFor(&root);
    ASSERT_NE(container, nullptr) << templateId;
    QRect area(QPoint(0, 0), container->size());
    struct Placed {
        int id;
        QWidget* widget;
    };
    std::vector<Placed> inputs, boxes;
    for (const auto& child : root.children()) {
        const platform::Window& w = *child;
        QWidget* shown = platform::qt::widgetFor(&w);
        ASSERT_NE(shown, nullptr) << templateId << " control " << w.id();
        if (!w.visible() || w.kind() == platform::ControlKind::Dialog) continue;
        SCOPED_TRACE("template " + std::to_string(templateId) + ", control " +
                     std::to_string(w.id()) + " \"" + w.text() + "\"");
        EXPECT_TRUE(shown->isVisibleTo(container));
        EXPECT_TRUE(area.contains(shown->geometry()))
            << "at " << shown->x() << "," << shown->y() << " " << shown->width() << "x"
            << shown->height() << " in " << area.width() << "x" << area.height();
        if (isInput(w.kind())) inputs.push_back({w.id(), shown});
        if (w.kind() == platform::ControlKind::GroupBox) boxes.push_back({w.id(), shown});

        QFontMetrics metrics(shown->font());
        if (auto* label = qobject_cast<QLabel*>(shown);
            label != nullptr && !label->text().isEmpty()) {
            QString text = QString::fromStdString(withoutAccessKeys(label->text()));
            int flags = label->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine;
            QRect needed = metrics.boundingRect(QRect(0, 0, label->width(), 1000), flags, text);
            EXPECT_LE(needed.width(), label->width()) << "text too wide";
            EXPECT_LE(needed.height(), label->height() + 2) << "text too high";
        }
        if (auto* button = qobject_cast<QAbstractButton*>(shown)) {
            QString text = QString::fromStdString(withoutAccessKeys(button->text()));
            int textWidth = metrics.horizontalAdvance(text);
            QStyle* style = shown->style();
            if (qobject_cast<QPushButton*>(shown) != nullptr) {
                EXPECT_LE(textWidth + 4, shown->width()) << "button text too wide";
            } else if (shown->width() > 2 * shown->height()) { // box-only ones show no text
                bool radio = w.kind() == platform::ControlKind::RadioButton;
                int box = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                   : QStyle::PM_IndicatorWidth,
                                             nullptr, shown);
                int gap = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                                   : QStyle::PM_CheckBoxLabelSpacing,
                                             nullptr, shown);
                EXPECT_LE(box + gap + textWidth, shown->width()) << "text too wide";
            }
        }
    }
    for (size_t i = 0; i < inputs.size(); ++i) {
        for (size_t j = i + 1; j < inputs.size(); ++j) {
            EXPECT_FALSE(inputs[i].widget->geometry().intersects(inputs[j].widget->geometry()))
                << "template " << templateId << ": controls " << inputs[i].id << " and "
                << inputs[j].id << " overlap";
        }
    }
    const QObjectList& stacking = container->children(); // bottom first
    for (const Placed& box : boxes) {
        for (const Placed& input : inputs) {
            if (box.widget->geometry().intersects(input.widget->geometry())) {
                EXPECT_LT(stacking.indexOf(box.widget), stacking.indexOf(input.widget))
                    << "template " << templateId << ": group box " << box.id << " covers "
                    << input.id;
            }
        }
    }
}

} // namespace

TEST_F(QtModuleDialogs, every_template_renders_inside_its_dialog_without_overlaps) {
    std::shared_ptr<platform::ResourceModule> module = moduleResources();
    ASSERT_TRUE(module);
    ASSERT_GE(module->dialogs.size(), 15u);
    ASSERT_EQ(module->dialogs.count(kHostTemplate), 0u);
    platform::DialogTemplate host;
    host.id = kHostTemplate;
    host.cx = 460;
    host.cy = 240;
    host.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    host.caption = "Pagina";
    module->dialogs[kHostTemplate] = host;
    CurrentResources current(module);

    int inspected = 0;
    for (const auto& [id, tpl] : module->dialogs) {
        if (id == kHostTemplate) continue;
        const bool page = (tpl.style & WS_CHILD) != 0;
        ScriptedUser user;
        user.onDialog([&, id = id](Dialog& d) {
            const platform::Window* root = d.window().m_hWnd;
            if (page) {
                ASSERT_EQ(root->children().size(), 1u) << id;
                root = root->children().front().get();
            }
            inspect(*root, id);
            ++inspected;
            d.window().EndDialog(IDCANCEL);
        });
        if (page) {
            PageHost dialog(static_cast<UINT>(id));
            dialog.DoModal();
        } else {
            CDialog dialog(static_cast<UINT>(id));
            dialog.DoModal();
        }
        EXPECT_EQ(user.unexpected(), 0) << id;
    }
    EXPECT_EQ(inspected, static_cast<int>(module->dialogs.size()) - 1);
}
