// gpsbook: opens a GPS field book and reaches every dialog of the GPS module from its menus.
//
//   gpsbook [FILE]        opens FILE, or the bundled sample field book
//   gpsbook --shots DIR   saves every dialog and the main window as PNG files into DIR
#include "MainWindow.h"
#include "Screenshots.h"

#include "core/FieldBook.h"
#include "core/Settings.h"

#include "platform/qt/QtBackend.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// <prefix>/bin/gpsbook finds <prefix>/share/gpsbook/sample.gpsbook.json; a program run from
// the build tree finds the sample of the source tree.
QString findSample() {
    const QString datadir = QStringLiteral(GPSBOOK_INSTALL_DATADIR);
    QString installedFolder;
    if (QDir::isAbsolutePath(datadir)) {
        installedFolder = datadir;
    } else {
        const int depth =
            QStringLiteral(GPSBOOK_INSTALL_BINDIR).split('/', Qt::SkipEmptyParts).size();
        installedFolder = QCoreApplication::applicationDirPath() + "/" +
                          QStringLiteral("../").repeated(depth) + datadir;
    }
    const QString installed = QDir::cleanPath(installedFolder + "/gpsbook/sample.gpsbook.json");
    if (QFileInfo::exists(installed)) return installed;
    const QString source = QStringLiteral(GPSBOOK_SOURCE_SAMPLE);
    if (QFileInfo::exists(source)) return source;
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("gpsbook");
    QApplication::setApplicationVersion(GPSBOOK_VERSION);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    // Before anything is shown or printed: the backend also makes Qt's own texts (file
    // dialogs, standard buttons, the help of the command line) Italian.
    platform::qt::install();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main", "Libretto GPS: gruppi, stazioni base e punti."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption shotsOption(
        "shots",
        QApplication::translate("main", "Salva ogni finestra di dialogo come PNG in <cartella>."),
        QApplication::translate("main", "cartella"));
    parser.addOption(shotsOption);
    parser.addPositionalArgument("file", QApplication::translate("main", "Libretto da aprire."),
                                 "[file]");
    parser.process(app);

    // Screenshots use settings of their own, so that they neither depend on nor change the
    // user's.
    QTemporaryDir shotSettings;
    const bool shots = parser.isSet(shotsOption);
    gpsbook::useSettingsFile(shots ? QDir(shotSettings.path()).filePath("gpsbook.ini").toStdString()
                                   : gpsbook::settingsFilePath());

    const QString sample = findSample();
    MainWindow window(sample);
    if (shots) {
        // No message box may wait for an answer here: a sample that cannot be read ends the run.
        if (sample.isEmpty()) {
            std::fprintf(stderr, "gpsbook: the sample field book was not found\n");
            return 1;
        }
        gpsbook::LoadResult check = gpsbook::loadFieldBook(QFile::encodeName(sample).toStdString());
        if (!check.ok()) {
            std::fprintf(stderr, "gpsbook: %s\n", check.error.c_str());
            return 1;
        }
        window.openFile(sample);
        return takeScreenshots(window, parser.value(shotsOption));
    }

    window.show();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        if (!window.openFile(files.front())) window.newBook();
    } else if (!window.openSample()) {
        window.newBook();
    }
    return app.exec();
}
