// The menus as a person reads them: access keys that lead to one item each, the usual keys,
// and Qt's own texts in Italian.
#include "GpsbookWindow.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <map>

using gpsbooktest::GpsbookWindow;

namespace {

/// The access key of a text ("Salva &con nome..." gives 'c'), 0 when it has none.
QChar accessKey(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toLower();
        ++i; // "&&" is a plain "&"
    }
    return QChar();
}

/// The texts of \p actions that share an access key, as "key: first / second".
std::vector<std::string> sharedKeys(const QList<QAction*>& actions) {
    std::map<QChar, QString> seen;
    std::vector<std::string> shared;
    for (const QAction* action : actions) {
        QChar key = accessKey(action->text());
        if (key.isNull()) continue;
        auto [at, added] = seen.emplace(key, action->text());
        if (!added)
            shared.push_back(
                QString("%1: %2 / %3").arg(key, at->second, action->text()).toStdString());
    }
    return shared;
}

using GpsbookMenus = GpsbookWindow;

} // namespace

TEST_F(GpsbookMenus, no_two_items_of_a_menu_share_an_access_key) {
    const QList<QAction*> menus = window->menuBar()->actions();
    EXPECT_EQ(sharedKeys(menus), std::vector<std::string>{});
    int items = 0;
    for (const QAction* entry : menus) {
        ASSERT_NE(entry->menu(), nullptr);
        const QList<QAction*> actions = entry->menu()->actions();
        EXPECT_EQ(sharedKeys(actions), std::vector<std::string>{}) << entry->text().toStdString();
        for (const QAction* action : actions)
            if (!action->isSeparator()) {
                EXPECT_FALSE(accessKey(action->text()).isNull()) << action->text().toStdString();
                ++items;
            }
    }
    EXPECT_GE(items, 9);
}

TEST_F(GpsbookMenus, save_as_has_ctrl_shift_s_beside_the_usual_keys) {
    EXPECT_EQ(action("salvaConNome")->shortcut(), QKeySequence("Ctrl+Shift+S"));
    EXPECT_EQ(action("salva")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(action("apri")->shortcut(), QKeySequence("Ctrl+O"));
}

TEST_F(GpsbookMenus, qt_s_own_texts_are_italian) {
    // The texts of Qt's own file dialog and of its standard buttons.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), "&Apri");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Save"), "&Salva");
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
}
