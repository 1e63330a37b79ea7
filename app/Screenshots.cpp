#include "Screenshots.h"

#include "MainWindow.h"

#include "gpsdialogs/GpsDialogs.h"

#include "platform/automation.h"
#include "platform/dialog.h"
#include "platform/module.h"
#include "platform/qt/QtBackend.h"
#include "platform/resources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPixmap>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>

namespace {

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

// What the window's command must do before its dialog comes up, and to its dialog before the
// picture is taken; null for templates that no export shows yet.
struct Shot {
    int id;
    const char* name;
    std::function<void(MainWindow&)> run;
    std::function<void(automation::Dialog&)> prepare;
    int shown = 0; ///< the template of the dialog that comes up, when not \p id (a page)
};

// The sample's first group has a computed projection; its fourth point is 101.
constexpr int kShownGroup = 0;
constexpr int kShownPoint = 3;
constexpr int kManholePoint = 6;
// The row of the manhole's year ("Anno") in the GIS table.
constexpr int kManholeYearRow = 5;

std::vector<Shot> shots() {
    auto onPoint = [](MainWindow& w) { w.selectPosition(kShownGroup, kShownPoint); };
    auto editor = [onPoint](MainWindow& w) {
        onPoint(w);
        w.editPoint();
    };
    // The editor on one of its pages, live on the shown point.
    auto page = [editor](int id, const char* name, int index) {
        return Shot{id, name, editor, [index](automation::Dialog& d) { d.selectPage(index); },
                    15039};
    };
    return {
        {15039, "point-editor", editor, [](automation::Dialog& d) { d.selectPage(0); }},
        page(15040, "point-page-field-book", 0),
        page(15041, "point-page-absolute", 1),
        page(15150, "point-page-baseline", 2),
        page(15042, "point-page-codes", 3),
        // The GIS page on 104, a manhole whose attributes use every kind of field.
        {15043, "point-page-gis",
         [](MainWindow& w) {
             w.selectPosition(kShownGroup, kManholePoint);
             w.editPoint();
         },
         [](automation::Dialog& d) { d.selectPage(4); }, 15039},
        // The same page refusing a year typed with a letter: the reason in a balloon at the
        // cell, the text selected for the next key.
        {15043, "point-page-gis-refused",
         [](MainWindow& w) {
             w.selectPosition(kShownGroup, kManholePoint);
             w.editPoint();
         },
         [](automation::Dialog& d) {
             d.selectPage(4);
             d.grid(1000).edit(kManholeYearRow, 1, "12a");
         },
         15039},
        // Every drawn point of the sample, none being selected.
        {15044, "transfer-options", [](MainWindow& w) { w.transferDrawingPoints(); }, nullptr},
        {15045, "creation-options",
         [onPoint](MainWindow& w) {
             onPoint(w);
             w.newPoint();
         },
         nullptr},
        {15046, "point-coordinates",
         [onPoint](MainWindow& w) {
             onPoint(w);
             w.showPointCoordinates();
         },
         nullptr},
        {15047, "base-station-coordinates",
         [onPoint](MainWindow& w) {
             onPoint(w);
             w.showBaseStation();
         },
         nullptr},
        {15048, "search",
         [onPoint](MainWindow& w) {
             onPoint(w);
             w.searchPoint();
         },
         nullptr},
        {15050, "print-groups", [](MainWindow& w) { w.printBook(); },
         [](automation::Dialog& d) { d.select(2080, 0); }},
        {15053, "move-base-station", [](MainWindow& w) { w.moveBaseStation(); }, nullptr},
        {15149, "export-fields", [](MainWindow& w) { w.chooseExportLayout(); },
         [](automation::Dialog& d) { d.grid(1000).click(2, 1); }},
        {15151, "base-station-editor",
         [onPoint](MainWindow& w) {
             onPoint(w);
             w.editBaseStation();
         },
         nullptr},
    };
}

// Closes a dialog the way a person would when there is a way; pages shown on their own have
// neither a close box nor a Cancel button, and are ended directly.
void dismiss(automation::Dialog& d) {
    if (d.close() || d.click(IDCANCEL)) return;
    if (d.isOpen()) d.window().EndDialog(IDCANCEL);
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::shared_ptr<platform::ResourceModule> loadModuleResources() {
    const std::string script = GPSBOOK_RESOURCE_SCRIPT;
    std::optional<std::string> text = readFile(script);
    if (!text) {
        err() << "gpsbook: cannot read " << QString::fromStdString(script) << "\n";
        return nullptr;
    }
    const std::string folder = script.substr(0, script.find_last_of('/') + 1);
    platform::ParseResult parsed = platform::parseResourceScript(
        *text, script, [folder](const std::string& name) { return readFile(folder + name); });
    if (!parsed.module) err() << "gpsbook: " << QString::fromStdString(parsed.error) << "\n";
    return parsed.module;
}

// Runs a modal dialog through `start` and saves it as `png` when it comes up.
bool capture(const QString& png, int id, const std::function<void()>& start,
             const std::function<void(automation::Dialog&)>& prepare) {
    bool saved = false;
    int seen = 0;
    automation::ScriptedUser user;
    user.onDialog([&](automation::Dialog& d) {
        seen = d.templateId();
        if (prepare) prepare(d);
        saved = platform::qt::grab(d.window(), png.toStdString());
        dismiss(d);
    });
    start();
    if (seen != id) {
        err() << "gpsbook: dialog " << id << " did not come up"
              << (seen != 0 ? QString(" (dialog %1 did)").arg(seen) : QString()) << "\n";
        return false;
    }
    if (!saved) err() << "gpsbook: " << png << " could not be written\n";
    for (const std::string& what : user.unexpectedLog())
        err() << "gpsbook: dialog " << id << ": " << QString::fromStdString(what) << "\n";
    return saved;
}

// Runs `start`, which opens one of the platform's file dialogs as a person sees it (no
// scripted user is alive), and saves the dialog as `png` before cancelling it.
bool captureFileDialog(const QString& png, const std::function<void()>& start) {
    // A folder of a few survey files, so that the picture shows no folder of this machine.
    QTemporaryDir temp;
    const QString folder = temp.path() + "/rilievi";
    QDir().mkpath(folder);
    for (const char* name : {"cantiere-nord.txt", "cantiere-sud.txt", "rilievo.prt", "rilievo.rw5"})
        QFile(folder + "/" + name).open(QIODevice::WriteOnly);
    bool saved = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (dialog == nullptr || !dialog->isVisible()) continue;
            dialog->setDirectory(folder);
            for (int i = 0; i < 10; ++i)
                QApplication::processEvents();
            saved = dialog->grab().save(png, "PNG");
            dialog->reject();
            poll.stop();
            return;
        }
    });
    poll.start();
    start();
    if (!saved) err() << "gpsbook: " << png << " could not be written\n";
    return saved;
}

} // namespace

int takeScreenshots(MainWindow& window, const QString& folder) {
    QDir dir(folder);
    if (!dir.mkpath(".")) {
        err() << "gpsbook: cannot create " << folder << "\n";
        return 1;
    }
    int failures = 0;

    window.show();
    window.selectPosition(kShownGroup, kShownPoint);
    // "Aperto" and the path of this machine's copy of the sample: not for the pictures.
    window.statusBar()->clearMessage();
    QApplication::processEvents();
    const QString mainPng = dir.filePath("main-window.png");
    if (!window.grab().save(mainPng, "PNG")) {
        err() << "gpsbook: " << mainPng << " could not be written\n";
        ++failures;
    }

    std::shared_ptr<platform::ResourceModule> resources;
    for (const Shot& shot : shots()) {
        const QString png = dir.filePath(QString("%1-%2.png").arg(shot.id).arg(shot.name));
        bool ok = false;
        if (shot.run) {
            ok = capture(
                png, shot.shown != 0 ? shot.shown : shot.id, [&] { shot.run(window); },
                shot.prepare);
        } else {
            if (!resources) resources = loadModuleResources();
            if (!resources) return 1;
            // The bare template is looked up in the resources made current, as the exports do.
            HINSTANCE previous = AfxGetResourceHandle();
            AfxSetResourceHandle(resources.get());
            CDialog dialog(static_cast<UINT>(shot.id));
            ok = capture(
                png, shot.id, [&] { dialog.DoModal(); }, shot.prepare);
            AfxSetResourceHandle(previous);
        }
        if (!ok) ++failures;
        QApplication::processEvents();
    }
    // The file choices of the ASCII export and of the import, in the platform's file dialog.
    if (!captureFileDialog(dir.filePath("file-choice-export.png"), [] {
            std::string name = "rilievi";
            FInpNomeFileAsciiLibGps(name);
        }))
        ++failures;
    if (!captureFileDialog(dir.filePath("file-choice-import.png"), [] {
            std::string name;
            int format = 1;
            FInpNomeFileConvGpsVari(name, format);
        }))
        ++failures;
    return failures == 0 ? 0 : 1;
}
