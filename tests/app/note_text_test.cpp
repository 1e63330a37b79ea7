// The note on its way through the note editor: unchanged notes stay byte for byte, changed
// notes keep the line breaks they had.
#include "core/NoteText.h"

#include <gtest/gtest.h>

using gpsbook::noteAfterEditing;
using gpsbook::noteForEditing;

TEST(NoteText, the_editor_sees_plain_line_feeds) {
    EXPECT_EQ(noteForEditing("a\r\nb\rc\nd"), "a\nb\nc\nd");
    EXPECT_EQ(noteForEditing("\r\n\r\n"), "\n\n");
    EXPECT_EQ(noteForEditing(""), "");
}

TEST(NoteText, an_unchanged_note_is_not_stored_again) {
    EXPECT_EQ(noteAfterEditing("riga 1\r\nriga 2", "riga 1\nriga 2"), std::nullopt);
    EXPECT_EQ(noteAfterEditing("", ""), std::nullopt);
}

TEST(NoteText, a_changed_note_keeps_its_kind_of_line_break) {
    EXPECT_EQ(noteAfterEditing("riga 1\r\nriga 2", "riga 1\nriga 2\nriga 3"),
              "riga 1\r\nriga 2\r\nriga 3");
    EXPECT_EQ(noteAfterEditing("riga 1\nriga 2", "riga 1\n"), "riga 1\n");
    EXPECT_EQ(noteAfterEditing("", "nuova"), "nuova");
    EXPECT_EQ(noteAfterEditing("vecchia", ""), "");
}
