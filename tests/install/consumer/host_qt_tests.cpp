// A Qt host's test, built against the installed package with its component Qt: the module's
// dialogs appear as Qt widgets, found with Qt's own calls.
#include <gpsdialogs/GpsDialogs.h>
#include <gpsdialogs/interfaces/LibGps.h>
#include <gpsdialogs/resource.h>
#include <platform/automation.h>
#include <platform/qt/QtBackend.h>

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

void startQt() {
    static QApplication* app = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "host_qt_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
    ASSERT_TRUE(platform::qt::install());
}

/// The labels of the visible top-level window titled \p title.
QList<QLabel*> labelsOf(const QString& title) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->windowTitle() == title) return top->findChildren<QLabel*>();
    return {};
}

} // namespace

TEST(HostQtIntegration, point_display_shows_a_name_with_an_ampersand_as_typed) {
    startQt();
    CLibGps book;
    book.AddGrp("Rilievo A");
    CPunGps* point = book.AddPun(0);
    point->SetNome("Rossi & Figli");
    automation::ScriptedUser user;
    QLabel* name = nullptr;
    user.onDialog([&](automation::Dialog& d) {
        for (QLabel* label : labelsOf("Coordinate punto GPS"))
            if (label->text() == "Rossi & Figli") name = label;
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->buddy(), nullptr); // no access key: nothing underlined
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraPunGps(point));
    EXPECT_EQ(user.unexpected(), 0);
}
