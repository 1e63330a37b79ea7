// The host's search: the next point after the selection that matches the criteria the search
// dialog hands back, in field-book order, wrapping around once.
#include "core/PointSearch.h"

#include "gpsdialogs/interfaces/LibGps.h"

#include <gtest/gtest.h>

using gpsbook::findNextPoint;
using gpsbook::PointPosition;

namespace {

// Group 0: PF1 "spigolo", 101 "TOMBINO pf", 102 "muro"; group 1: (empty); group 2: pf2
// "picchetto", 103 "Appoggio [VRS]".
struct SearchBook {
    CLibGps book;
    SearchBook() {
        add(0, "PF1", "spigolo");
        add(0, "101", "TOMBINO pf");
        add(0, "102", "muro");
        book.AddGrp("vuoto");
        add(2, "pf2", "picchetto");
        add(2, "103", "Appoggio [VRS]");
    }
    void add(int group, const char* name, const char* code) {
        while (book.GetGrpArSize() <= group)
            book.AddGrp("G" + std::to_string(book.GetGrpArSize()));
        CPunGps* p = book.AddPun(group);
        p->SetNome(name);
        p->SetCode(code);
    }
};

struct Case {
    const char* what;
    int group, point;
    const char* text;
    bool inName, inCode;
    std::optional<PointPosition> expected;
};

} // namespace

TEST(PointSearch, finds_the_next_match_as_the_criteria_say) {
    SearchBook b;
    const Case cases[] = {
        {"name only skips a code match", 0, 0, "pf", true, false, PointPosition{2, 0}},
        {"code only", 0, 0, "pf", false, true, PointPosition{0, 1}},
        {"name or code: the nearer one", 0, 0, "pf", true, true, PointPosition{0, 1}},
        {"letters without regard to case", 0, 1, "Pf", true, false, PointPosition{2, 0}},
        {"the empty group is stepped over", 0, 2, "PF", true, false, PointPosition{2, 0}},
        {"wraps around to the first group", 2, 0, "pf", true, false, PointPosition{0, 0}},
        {"wraps from the last point", 2, 1, "1", true, false, PointPosition{0, 0}},
        {"the current point itself comes last", 0, 0, "PF1", true, false, PointPosition{0, 0}},
        {"a group alone starts at its first point", 2, -1, "pf", true, false, PointPosition{2, 0}},
        {"an empty group starts at the next one", 1, -1, "10", true, false, PointPosition{2, 1}},
        {"no selection starts at the very first point", -1, -1, "pf", true, false,
         PointPosition{0, 0}},
        {"a selection out of range counts as none", 9, 9, "muro", false, true, PointPosition{0, 2}},
        {"a tag of the description is code", 0, 0, "[vrs]", false, true, PointPosition{2, 1}},
        {"no match", 0, 0, "zzz", true, true, std::nullopt},
        {"code text is not looked for in names", 0, 0, "muro", true, false, std::nullopt},
        {"an empty text matches nothing", 0, 0, "", true, true, std::nullopt},
        {"no place to look matches nothing", 0, 0, "pf", false, false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findNextPoint(b.book, c.group, c.point, c.text, c.inName, c.inCode), c.expected)
            << c.what;
}

TEST(PointSearch, says_when_it_went_past_the_last_point_and_started_again_at_the_first) {
    SearchBook b;
    struct WrapCase {
        const char* what;
        int group, point;
        const char* text;
        bool wrapped;
    };
    const WrapCase cases[] = {
        {"found further down", 0, 0, "pf", false},
        {"found above the current point", 2, 0, "pf", true},
        {"the current point itself, once round", 0, 0, "PF1", true},
        {"a group alone, found in an earlier group", 2, -1, "102", true},
        {"a group alone, found in it", 2, -1, "pf", false},
        {"no selection never goes round", -1, -1, "103", false},
    };
    for (const WrapCase& c : cases) {
        bool wrapped = !c.wrapped;
        EXPECT_TRUE(findNextPoint(b.book, c.group, c.point, c.text, true, false, &wrapped))
            << c.what;
        EXPECT_EQ(wrapped, c.wrapped) << c.what;
    }
    bool wrapped = true;
    EXPECT_EQ(findNextPoint(b.book, 2, 0, "zzz", true, true, &wrapped), std::nullopt);
    EXPECT_FALSE(wrapped);
}

TEST(PointSearch, accented_letters_are_compared_exactly) {
    CLibGps book;
    book.AddGrp("G");
    CPunGps* p = book.AddPun(0);
    p->SetNome("P1");
    p->SetCode("CITTÀ");
    EXPECT_EQ(findNextPoint(book, -1, -1, "città", false, true), std::nullopt);
    EXPECT_EQ(findNextPoint(book, -1, -1, "cittÀ", false, true), (PointPosition{0, 0}));
}

TEST(PointSearch, a_book_without_points_finds_nothing) {
    CLibGps book;
    EXPECT_EQ(findNextPoint(book, -1, -1, "a", true, true), std::nullopt);
    book.AddGrp("G");
    EXPECT_EQ(findNextPoint(book, 0, -1, "a", true, true), std::nullopt);
}
