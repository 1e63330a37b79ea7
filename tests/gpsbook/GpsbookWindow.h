// Shared pieces of gpsbook's widget tests: one QApplication with the Qt backend, a stand-in
// for the user of the window's own Qt windows (message boxes, the note editor), and a main
// window showing a copy of the bundled sample in a temporary folder. File dialogs are the
// platform's: the ScriptedUser answers them.
#pragma once

#include "MainWindow.h"
#include "NoteEditor.h"

#include "TempSettings.h"

#include "core/FieldBook.h"
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/qt/QtBackend.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

/// QString in test failures as readable text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace gpsbooktest {

/// Makes the application (offscreen unless told otherwise) and installs the Qt backend.
inline void useQtBackend() {
    static QApplication* app = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "gpsbook_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
    if (platform::backend().name() != "qt") {
        ASSERT_TRUE(platform::qt::install());
    }
}

/// Answers the window's own modal Qt windows while alive: each message box or note editor that
/// comes up goes to the next handler given for its kind, in order; one with no handler is
/// closed as with Escape and counts as unexpected. The module's dialogs, the platform's message
/// boxes and the file dialogs are the ScriptedUser's and are left alone. A handler must close
/// its window.
class QtUser {
public:
    QtUser() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    void onMessageBox(std::function<void(QMessageBox&)> handler) {
        m_handlers.push_back(
            {Kind::MessageBox, [handler](QDialog& d) { handler(static_cast<QMessageBox&>(d)); }});
    }
    void onNoteEditor(std::function<void(NoteEditorDialog&)> handler) {
        m_handlers.push_back({Kind::NoteEditor, [handler](QDialog& d) {
                                  handler(static_cast<NoteEditorDialog&>(d));
                              }});
    }

    /// Texts of the message boxes shown so far.
    const std::vector<std::string>& messages() const { return m_messages; }
    const std::vector<std::string>& unexpected() const { return m_unexpected; }
    int pending() const { return static_cast<int>(m_handlers.size()); }

    /// Presses the message box's button that Escape presses (its only one for a notice).
    static void dismiss(QMessageBox& box) {
        if (QAbstractButton* button = box.escapeButton())
            button->click();
        else
            box.reject();
    }

private:
    enum class Kind { MessageBox, NoteEditor };
    struct Handler {
        Kind kind;
        std::function<void(QDialog&)> run;
    };

    static bool kindOf(QWidget* widget, Kind& kind) {
        if (qobject_cast<QMessageBox*>(widget))
            kind = Kind::MessageBox;
        else if (qobject_cast<NoteEditorDialog*>(widget))
            kind = Kind::NoteEditor;
        else
            return false;
        return true;
    }

    void poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            Kind kind;
            if (!widget->isVisible() || !kindOf(widget, kind)) continue;
            auto* dialog = static_cast<QDialog*>(widget);
            if (kind == Kind::MessageBox)
                m_messages.push_back(static_cast<QMessageBox*>(dialog)->text().toStdString());
            if (!m_handlers.empty() && m_handlers.front().kind == kind) {
                Handler handler = std::move(m_handlers.front());
                m_handlers.pop_front();
                QPointer<QDialog> guard(dialog);
                handler.run(*dialog);
                if (guard && guard->isVisible()) {
                    m_unexpected.push_back("left open: " + dialog->windowTitle().toStdString());
                    guard->reject();
                }
            } else {
                m_unexpected.push_back(dialog->metaObject()->className() + std::string(": ") +
                                       dialog->windowTitle().toStdString());
                dialog->reject();
            }
            return; // one window per tick: closing it may bring up the next
        }
    }

    QTimer m_timer;
    std::deque<Handler> m_handlers;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_unexpected;
};

/// A main window on a copy of the bundled sample, with settings of its own.
class GpsbookWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { useQtBackend(); }

    void SetUp() override {
        bookPath = settings.dir() / "rilievi.gpsbook.json";
        std::filesystem::copy_file(samplePath(), bookPath);
        window = std::make_unique<MainWindow>(QString::fromStdString(samplePath()));
        ASSERT_TRUE(window->openFile(QString::fromStdString(bookPath.string())));
    }

    void TearDown() override {
        window.reset();
        EXPECT_EQ(qt.unexpected(), std::vector<std::string>{});
        EXPECT_EQ(qt.pending(), 0) << "Qt windows expected but never shown";
        EXPECT_EQ(anyDialog.unexpectedLog(), std::vector<std::string>{});
    }

    static std::string samplePath() { return GPS_SOURCE_DIR "/examples/sample.gpsbook.json"; }

    /// The window's action of that object name.
    QAction* action(const char* name) {
        auto* found = window->findChild<QAction*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    /// Triggers the action as its menu entry would.
    void trigger(const char* name) {
        QAction* a = action(name);
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }

    CLibGps& book() { return window->fieldBook().book; }
    CPunGps* point(int group, int index) { return book().GetPunAt(group, index); }

    /// Where the selection is, as {group, point}; {-1, -1} when nothing is selected.
    std::pair<int, int> selection() const {
        auto at = window->selectedPosition();
        return at ? std::pair{at->group, at->point} : std::pair{-1, -1};
    }

    testsupport::TempSettings settings{"gpsbook.ini"};
    std::filesystem::path bookPath;
    // A module dialog that a test did not script is closed here, not left waiting for a person.
    automation::ScriptedUser anyDialog;
    QtUser qt;
    std::unique_ptr<MainWindow> window;
};

} // namespace gpsbooktest
