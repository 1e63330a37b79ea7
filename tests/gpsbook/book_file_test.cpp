// The note editor, and the field book through "Apri..." and "Salva con nome...": what reaches
// the file, what the title says, what a refused file leaves in place.
#include "GpsbookWindow.h"

#include "gpsdialogs/interfaces/Egn.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>

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

    qt.onFileDialog([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
        QtUser::choose(dialog, QString::fromStdString(broken.string()));
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
    qt.onFileDialog([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        QtUser::choose(dialog, QString::fromStdString(copy.string()));
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
    const auto typed = QString::fromStdString((settings.dir() / "copia").string());

    qt.onFileDialog([&](QFileDialog& dialog) { QtUser::choose(dialog, typed); });
    std::string asked;
    qt.onMessageBox([&](QMessageBox& box) {
        asked = box.text().toStdString();
        box.button(QMessageBox::No)->click();
    });
    qt.onFileDialog([](QFileDialog& dialog) { dialog.reject(); }); // asked again: Annulla
    trigger("salvaConNome");

    EXPECT_NE(asked.find("copia.gpsbook.json"), std::string::npos) << asked;
    EXPECT_EQ(fileText(existing), "da conservare");
}
