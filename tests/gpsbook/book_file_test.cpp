// The note editor, and the field book through "Apri..." and "Salva con nome...": what reaches
// the file, what the title says, what a refused file leaves in place.
#include "GpsbookWindow.h"

#include "gpsdialogs/interfaces/Egn.h"
#include "platform/filedialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>

using automation::FileDialogAnswer;
using automation::FileDialogCall;
using automation::MessageBoxCall;
using automation::ScriptedUser;
using gpsbooktest::GpsbookWindow;
using gpsbooktest::QtUser;

namespace {

/// Replaces the editor's text by typing, then presses the button.
auto editNote(QString typed, QDialogButtonBox::StandardButton press, QString* shownNote = nullptr) {
    return [=](NoteEditorDialog& dialog) {
        auto* edit = dialog.findChild<QPlainTextEdit*>();
        ASSERT_NE(edit, nullptr);
        if (shownNote) *shownNote = edit->toPlainText();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        QTest::mouseClick(buttons->button(press), Qt::LeftButton);
    };
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using NoteEditor = GpsbookWindow;
using GpsbookFile = GpsbookWindow;

} // namespace

TEST_F(NoteEditor, ok_stores_the_typed_note_and_marks_the_book_modified) {
    CEgn* station = book().GetGrpAt(0);
    const std::string original = station->GetNote();
    ASSERT_NE(original.find('\n'), std::string::npos);
    QString shown;
    qt.onNoteEditor(editNote("Base rimossa alle 12:40", QDialogButtonBox::Ok, &shown));
    window->notes().EditaNote(station);
    EXPECT_EQ(shown.toStdString(), original);
    EXPECT_EQ(station->GetNote(), "Base rimossa alle 12:40");
    EXPECT_TRUE(window->isWindowModified());
}

TEST_F(NoteEditor, annulla_leaves_the_note_and_the_book_unchanged) {
    CEgn* target = point(1, 6);
    const std::string original = target->GetNote();
    qt.onNoteEditor(editNote("da non tenere", QDialogButtonBox::Cancel));
    window->notes().EditaNote(target);
    EXPECT_EQ(target->GetNote(), original);
    EXPECT_FALSE(window->isWindowModified());
}

TEST_F(GpsbookFile, a_malformed_file_is_named_and_the_book_shown_stays) {
    const auto broken = settings.dir() / "rotto.gpsbook.json";
    std::ofstream(broken) << R"({"format": "gpsbook-field-book", "version": 1, "groups": [)";
    const QString title = window->windowTitle();
    const int groups = book().GetGrpArSize();

    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall& f) {
        EXPECT_TRUE(f.open);
        return FileDialogAnswer{true, broken.string(), 1};
    });
    std::string shown;
    qt.onMessageBox([&](QMessageBox& box) {
        shown = box.text().toStdString();
        QtUser::dismiss(box);
    });
    trigger("apri");

    EXPECT_NE(shown.find("rotto.gpsbook.json"), std::string::npos) << shown;
    EXPECT_EQ(window->windowTitle(), title);
    ASSERT_EQ(book().GetGrpArSize(), groups);
    EXPECT_EQ(book().GetPunAt(0, 0)->GetNome(), "PF12");
}

TEST_F(GpsbookFile, save_as_writes_a_file_that_loads_back_equal_and_clears_the_modified_mark) {
    qt.onNoteEditor(editNote("Picchetto sostituito", QDialogButtonBox::Ok));
    window->notes().EditaNote(point(0, 13));
    ASSERT_TRUE(window->isWindowModified());

    const auto copy = settings.dir() / "copia";
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall& f) {
        EXPECT_FALSE(f.open);
        return FileDialogAnswer{true, copy.string(), 1};
    });
    trigger("salvaConNome");

    const auto saved = settings.dir() / "copia.gpsbook.json";
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(window->windowTitle().startsWith("copia.gpsbook.json[*]"))
        << window->windowTitle().toStdString();

    gpsbook::LoadResult again = gpsbook::loadFieldBook(saved.string());
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(again.fieldBook->book.GetPunAt(0, 13)->GetNote(), "Picchetto sostituito");
    // Equal all through: both books write the very same text.
    auto text = [](gpsbook::FieldBook& b) {
        std::string error;
        std::string written =
            gpsbook::fieldBookToText(b.book, b.context, &b.drawings, &b.gis, error);
        EXPECT_EQ(error, "");
        return written;
    };
    EXPECT_EQ(text(*again.fieldBook), text(window->fieldBook()));
    // The original file is untouched.
    EXPECT_EQ(fileText(bookPath), fileText(samplePath()));
}

TEST_F(GpsbookFile, save_writes_over_the_open_file_and_clears_the_modified_mark) {
    qt.onNoteEditor(editNote("Verificare quota", QDialogButtonBox::Ok));
    window->notes().EditaNote(point(1, 0));
    ASSERT_TRUE(window->isWindowModified());

    trigger("salva"); // the file has a name: no dialog
    EXPECT_FALSE(window->isWindowModified());
    gpsbook::LoadResult again = gpsbook::loadFieldBook(bookPath.string());
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(again.fieldBook->book.GetPunAt(1, 0)->GetNote(), "Verificare quota");
}

TEST_F(GpsbookFile, a_name_completed_to_an_existing_file_asks_before_writing_over_it) {
    const auto existing = settings.dir() / "copia.gpsbook.json";
    std::ofstream(existing) << "da conservare";

    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, (settings.dir() / "copia").string(), 1};
    });
    user.onMessageBox([](const MessageBoxCall&) { return IDNO; });
    user.onFileDialog([](const FileDialogCall&) { return FileDialogAnswer{}; }); // Annulla
    trigger("salvaConNome");

    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.messageBoxes()[0].text, "copia.gpsbook.json esiste già.\nSostituirlo?");
    // Answered with the platform's yes/no buttons ("Sì", "No").
    EXPECT_EQ(user.messageBoxes()[0].type, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(fileText(existing), "da conservare");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookFile, open_and_save_as_show_their_titles_rows_and_the_book_s_folder) {
    ScriptedUser user;
    std::vector<FileDialogCall> shown;
    auto cancel = [&](const FileDialogCall& f) {
        shown.push_back(f);
        return FileDialogAnswer{};
    };
    user.onFileDialog(cancel);
    user.onFileDialog(cancel);
    trigger("apri");
    trigger("salvaConNome");

    ASSERT_EQ(shown.size(), 2u);
    const std::string rows =
        "Libretti GPS (*.gpsbook.json *.json)|*.gpsbook.json;*.json|Tutti i file (*.*)|*.*||";
    EXPECT_TRUE(shown[0].open);
    EXPECT_EQ(shown[0].title, "Apri libretto GPS");
    EXPECT_EQ(shown[0].filter, rows);
    EXPECT_EQ(shown[0].initialFolder, settings.dir().string());
    EXPECT_EQ(shown[0].flags & (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST),
              OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    EXPECT_FALSE(shown[1].open);
    EXPECT_EQ(shown[1].title, "Salva libretto GPS con nome");
    EXPECT_EQ(shown[1].filter, rows);
    EXPECT_EQ(shown[1].fileName, bookPath.string());
    EXPECT_EQ(shown[1].flags & OFN_OVERWRITEPROMPT, OFN_OVERWRITEPROMPT);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookFile, a_missing_file_to_open_is_refused_in_the_dialog) {
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, (settings.dir() / "manca.gpsbook.json").string(), 1};
    });
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    user.onFileDialog([](const FileDialogCall&) { return FileDialogAnswer{}; });
    const QString title = window->windowTitle();
    trigger("apri");

    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_NE(user.messageBoxes()[0].text.find("File non trovato"), std::string::npos);
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookFile, saving_over_the_sample_is_refused_once_without_a_replace_question) {
    ASSERT_TRUE(window->openSample());
    qt.onNoteEditor(editNote("Modifica dell'esempio", QDialogButtonBox::Ok));
    window->notes().EditaNote(point(0, 0));
    const std::string sample = fileText(samplePath());

    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, samplePath(), 1};
    });
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    user.onFileDialog([](const FileDialogCall&) { return FileDialogAnswer{}; }); // Annulla
    trigger("salva");

    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_NE(user.messageBoxes()[0].text.find("esempio non può essere sovrascritto"),
              std::string::npos)
        << user.messageBoxes()[0].text;
    EXPECT_EQ(user.fileDialogs().size(), 2u); // the dialog stayed open for another name
    EXPECT_EQ(fileText(samplePath()), sample);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookFile, a_failed_save_speaks_of_no_existing_file_when_there_was_none) {
    const auto folder = settings.dir() / "cantiere";
    std::filesystem::create_directory(folder);
    const auto path = folder / "nuovo.gpsbook.json";
    std::filesystem::copy_file(bookPath, path);
    ASSERT_TRUE(window->openFile(QString::fromStdString(path.string())));
    std::filesystem::remove_all(folder); // the folder went away while the book was open

    std::string shown;
    qt.onMessageBox([&](QMessageBox& box) {
        shown = box.text().toStdString();
        QtUser::dismiss(box);
    });
    trigger("salva");

    EXPECT_NE(shown.find("nuovo.gpsbook.json"), std::string::npos) << shown;
    EXPECT_NE(shown.find("non esiste"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("esistente"), std::string::npos) << shown;
}

namespace {

/// Presses the message box's button whose text is \p text.
void press(QMessageBox& box, const QString& text) {
    for (QAbstractButton* button : box.buttons())
        if (button->text() == text) {
            button->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString();
    QtUser::dismiss(box);
}

} // namespace

TEST_F(GpsbookFile, save_over_a_book_another_program_saved_asks_before_overwriting_it) {
    // Another gpsbook saves the same book first.
    gpsbook::LoadResult other = gpsbook::loadFieldBook(bookPath.string());
    ASSERT_TRUE(other.ok());
    other.fieldBook->book.GetPunAt(1, 0)->SetNote("dall'altro programma");
    ASSERT_EQ(gpsbook::saveFieldBook(bookPath.string(), *other.fieldBook), "");
    const std::string theirs = fileText(bookPath);

    qt.onNoteEditor(editNote("da questo programma", QDialogButtonBox::Ok));
    window->notes().EditaNote(point(1, 0));
    std::string asked;
    qt.onMessageBox([&](QMessageBox& box) {
        asked = box.text().toStdString();
        press(box, "Annulla");
    });
    trigger("salva");
    EXPECT_EQ(asked.rfind("Il libretto è stato modificato da un altro programma", 0), 0u) << asked;
    EXPECT_EQ(fileText(bookPath), theirs);
    EXPECT_TRUE(window->isWindowModified());

    qt.onMessageBox([&](QMessageBox& box) { press(box, "&Sovrascrivi"); });
    trigger("salva");
    EXPECT_FALSE(window->isWindowModified());
    gpsbook::LoadResult again = gpsbook::loadFieldBook(bookPath.string());
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(again.fieldBook->book.GetPunAt(1, 0)->GetNote(), "da questo programma");
}

TEST_F(GpsbookFile, a_read_only_book_is_not_replaced_and_save_as_is_offered) {
    const std::string before = fileText(bookPath);
    std::filesystem::permissions(bookPath, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
    qt.onNoteEditor(editNote("Verificare quota", QDialogButtonBox::Ok));
    window->notes().EditaNote(point(1, 0));

    const auto copy = settings.dir() / "copia.gpsbook.json";
    std::string told;
    qt.onMessageBox([&](QMessageBox& box) {
        told = box.text().toStdString();
        press(box, "Salva con &nome...");
    });
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall& f) {
        EXPECT_FALSE(f.open);
        return FileDialogAnswer{true, copy.string(), 1};
    });
    trigger("salva");

    EXPECT_NE(told.find("è di sola lettura"), std::string::npos) << told;
    EXPECT_EQ(fileText(bookPath), before);
    EXPECT_FALSE(window->isWindowModified());
    gpsbook::LoadResult saved = gpsbook::loadFieldBook(copy.string());
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(saved.fieldBook->book.GetPunAt(1, 0)->GetNote(), "Verificare quota");
    std::filesystem::permissions(bookPath, std::filesystem::perms::owner_all);
}
