// The file dialogs as a person meets them under the Qt backend: Qt's own dialog in Italian,
// the caller's rows, folder and row, and the platform's messages and question coming up over
// the dialog, which stays open when a name is refused.
#include "QtTestSupport.h"

#include "platform/filedialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace qttest;
namespace fs = std::filesystem;

namespace {

/// Acts on the modal windows as they come up: each step takes the window that is in front at
/// its turn (a message box asked from inside a file dialog comes in front of it). A window
/// that no step expects is closed and noted.
class Person {
public:
    Person() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start();
    }

    void onFileDialog(std::function<void(QFileDialog&)> step) {
        m_steps.push_back([step](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (dialog == nullptr) return false;
            step(*dialog);
            return true;
        });
    }
    void onMessageBox(std::function<void(QMessageBox&)> step) {
        m_steps.push_back([step](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr) return false;
            step(*box);
            return true;
        });
    }

    std::vector<std::string> unexpected;
    int pending() const { return static_cast<int>(m_steps.size()); }

private:
    void tick() {
        if (m_posted) return;
        QWidget* front = QApplication::activeModalWidget();
        if (front == nullptr || !front->isVisible()) return;
        if (std::find(m_acting.begin(), m_acting.end(), front) != m_acting.end()) return;
        auto* dialog = qobject_cast<QDialog*>(front);
        if (m_steps.empty()) {
            unexpected.push_back(front->metaObject()->className());
            if (dialog != nullptr) dialog->reject();
            return;
        }
        // Run from the event loop, not from the timer: Qt does not fire a timer again while
        // its handler runs, and a step may wait in a window that needs the next step.
        m_posted = true;
        QTimer::singleShot(0, [this, front, dialog, step = std::move(m_steps.front())] {
            m_posted = false;
            m_acting.push_back(front);
            if (!step(front)) {
                unexpected.push_back(std::string("not expected now: ") +
                                     front->metaObject()->className());
                if (dialog != nullptr) dialog->reject();
            }
            m_acting.pop_back();
        });
        m_steps.pop_front();
    }

    QTimer m_timer;
    std::deque<std::function<bool(QWidget*)>> m_steps;
    std::vector<QWidget*> m_acting; // windows a step is acting on (a nested one may come up)
    bool m_posted = false;
};

/// Types \p name into the dialog's name field and presses its Open or Save button.
void typeAndConfirm(QFileDialog& dialog, const QString& name) {
    auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
    auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_NE(buttons, nullptr);
    QPushButton* confirm =
        buttons->button(dialog.acceptMode() == QFileDialog::AcceptOpen ? QDialogButtonBox::Open
                                                                       : QDialogButtonBox::Save);
    ASSERT_NE(confirm, nullptr);
    confirm->click();
}

QStringList buttonTexts(const QMessageBox& box) {
    QStringList labels;
    for (QAbstractButton* button : box.buttons())
        labels << button->text();
    labels.sort();
    return labels;
}

void press(QMessageBox& box, const QString& label) {
    for (QAbstractButton* button : box.buttons())
        if (button->text() == label) return button->click();
    ADD_FAILURE() << "no button " << label.toStdString();
    box.reject();
}

class FileDialogView : public ::testing::Test {
protected:
    // Before the fixture's members: the person's timer needs the application.
    static void SetUpTestSuite() { useQtBackend(); }

    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "gps-qt-filedialog-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        ASSERT_NE(::mkdtemp(buffer.data()), nullptr);
        dir = buffer.data();
        folder = dir.string();
    }
    void TearDown() override {
        EXPECT_EQ(person.unexpected, std::vector<std::string>{});
        EXPECT_EQ(person.pending(), 0) << "windows expected but never shown";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string file(const std::string& name) const { return (dir / name).string(); }
    void make(const std::string& name) const { std::ofstream(dir / name) << "contenuto"; }

    fs::path dir;
    std::string folder;
    Person person;
};

const char* const kRows = "Gart       (*.PRT)|*.prt|Leica      (*.ASC)(*.IDX)|*.asc;*.idx|"
                          "Tutti i file (*.*)|*.*||";

} // namespace

TEST_F(FileDialogView, is_qt_s_own_dialog_in_italian_with_the_caller_s_rows_folder_and_row) {
    make("b.PRT");
    make("c.txt");
    QStringList listed; // the files the first row lets through, as the person sees them
    bool native = true;
    QString title, openText, cancelText, shownFolder;
    QStringList rows;
    int shownRow = -1;
    person.onFileDialog([&](QFileDialog& dialog) {
        native = !dialog.testOption(QFileDialog::DontUseNativeDialog);
        title = dialog.windowTitle();
        auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < combo->count(); ++i)
            rows << combo->itemText(i);
        shownRow = combo->currentIndex();
        shownFolder = dialog.directory().absolutePath();
        auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
        openText = buttons->button(QDialogButtonBox::Open)->text();
        cancelText = buttons->button(QDialogButtonBox::Cancel)->text();
        combo->setCurrentIndex(0); // the person picks the first row
        emit combo->activated(0);
        auto* list = dialog.findChild<QListView*>("listView");
        ASSERT_NE(list, nullptr);
        QAbstractItemModel* files = list->model();
        EXPECT_TRUE(QTest::qWaitFor([&] { return files->rowCount(list->rootIndex()) > 0; }, 3000));
        for (int r = 0; r < files->rowCount(list->rootIndex()); ++r) {
            QModelIndex item = files->index(r, 0, list->rootIndex());
            if (files->flags(item) & Qt::ItemIsEnabled) listed << item.data().toString();
        }
        typeAndConfirm(dialog, "b.PRT");
    });
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kRows);
    dialog.m_ofn.lpstrTitle = "Importazione File";
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    dialog.m_ofn.nFilterIndex = 2;
    ASSERT_EQ(dialog.DoModal(), IDOK);

    EXPECT_FALSE(native);
    EXPECT_EQ(title, "Importazione File");
    EXPECT_EQ(rows, (QStringList{"Gart       (*.PRT)", "Leica      (*.ASC)(*.IDX)",
                                 "Tutti i file (*.*)"}));
    EXPECT_EQ(shownRow, 1);
    EXPECT_EQ(listed, QStringList{"b.PRT"}); // "*.prt" in either case, as on the original
    EXPECT_EQ(shownFolder, QDir(QString::fromStdString(folder)).absolutePath());
    EXPECT_EQ(openText.remove('&'), "Apri");
    EXPECT_EQ(cancelText.remove('&'), "Annulla");
    EXPECT_EQ(dialog.GetPathName(), file("b.PRT"));
    EXPECT_EQ(dialog.m_ofn.nFilterIndex, 1u);
}

TEST_F(FileDialogView, a_missing_file_brings_the_message_over_the_dialog_which_stays_open) {
    std::string message;
    QWidget* messageParent = nullptr;
    QFileDialog* fileDialog = nullptr;
    bool stillOpen = false;
    person.onFileDialog([&](QFileDialog& dialog) {
        fileDialog = &dialog;
        typeAndConfirm(dialog, "manca.prt");
    });
    person.onMessageBox([&](QMessageBox& box) {
        message = box.text().toStdString();
        messageParent = box.parentWidget();
        EXPECT_EQ(buttonTexts(box), QStringList{"OK"});
        press(box, "OK");
    });
    person.onFileDialog([&](QFileDialog& dialog) {
        stillOpen = dialog.isVisible();
        dialog.reject();
    });
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kRows);
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    EXPECT_EQ(
        message,
        "manca.prt\nFile non trovato.\nVerificare che il nome del file indicato sia corretto.");
    EXPECT_EQ(messageParent, fileDialog);
    EXPECT_TRUE(stillOpen);
}

TEST_F(FileDialogView, the_replace_question_has_italian_buttons_and_no_keeps_the_dialog_open) {
    make("doc.txt");
    std::string asked;
    QStringList labels;
    person.onFileDialog([](QFileDialog& dialog) { typeAndConfirm(dialog, "doc"); });
    person.onMessageBox([&](QMessageBox& box) {
        asked = box.text().toStdString();
        labels = buttonTexts(box);
        press(box, "No");
    });
    person.onFileDialog([](QFileDialog& dialog) { typeAndConfirm(dialog, "doc"); });
    person.onMessageBox([](QMessageBox& box) { press(box, "Sì"); });
    CFileDialog dialog(FALSE, "txt", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                       "File ASCII (*.TXT)|*.txt||");
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    ASSERT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(asked, "doc.txt esiste già.\nSostituirlo?");
    EXPECT_EQ(labels, (QStringList{"No", "Sì"}));
    EXPECT_EQ(dialog.GetPathName(), file("doc.txt"));
}

TEST_F(FileDialogView, an_exception_from_the_caller_s_check_closes_the_dialog_and_leaves_do_modal) {
    class Failing : public CFileDialog {
    public:
        Failing() : CFileDialog(FALSE, "txt") {}

    protected:
        BOOL OnFileNameOK() override { throw std::runtime_error("controllo fallito"); }
    } dialog;
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    person.onFileDialog([](QFileDialog& d) { typeAndConfirm(d, "nuovo"); });
    EXPECT_THROW(dialog.DoModal(), std::runtime_error);
    EXPECT_FALSE(fs::exists(dir / "nuovo.txt"));
}
