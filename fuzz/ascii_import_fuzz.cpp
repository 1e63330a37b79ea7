// The ASCII and RW5 imports on any bytes, with a layout taken from the first bytes: a new group
// or a message with the line, and a refused import leaves the field book as it was. What an
// import added is saved and read back: the field book holds exactly what was imported, so an
// import can never make a book that cannot be reopened.
#include "FuzzCheck.h"
#include "core/AsciiImport.h"
#include "core/FieldBook.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/LibGps.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

bool same(double a, double b) {
    return a == b || (a >= 8.5e199 && b >= 8.5e199);
}

// Saves \p book as text and reads it back: every point as it was.
void roundTrip(const CLibGps& book) {
    CCts context;
    std::string error;
    const std::string text = gpsbook::fieldBookToText(book, context, nullptr, nullptr, error);
    FUZZ_CHECK(error.empty());
    gpsbook::LoadResult back = gpsbook::parseFieldBook(text, "fuzz");
    if (!back.ok()) std::fprintf(stderr, "%s\n", back.error.c_str());
    FUZZ_CHECK(back.ok());
    const CLibGps& again = back.fieldBook->book;
    FUZZ_CHECK(again.GetGrpArSize() == book.GetGrpArSize());
    for (int g = 0; g < book.GetGrpArSize(); ++g) {
        FUZZ_CHECK(again.GetGrpAt(g)->GetNomeGrp() == book.GetGrpAt(g)->GetNomeGrp());
        FUZZ_CHECK(again.GetPunArSize(g) == book.GetPunArSize(g));
        for (int p = 0; p < book.GetPunArSize(g); ++p) {
            const CPunGps* a = book.GetPunAt(g, p);
            const CPunGps* b = again.GetPunAt(g, p);
            FUZZ_CHECK(a->GetNome() == b->GetNome());
            FUZZ_CHECK(a->GetCode() == b->GetCode());
            FUZZ_CHECK(a->GetNote() == b->GetNote());
            FUZZ_CHECK(same(a->GetLat(), b->GetLat()) && same(a->GetLong(), b->GetLong()));
            FUZZ_CHECK(same(a->GetElev(), b->GetElev()) && same(a->GetAltAnt(), b->GetAltAnt()));
            FUZZ_CHECK(same(a->GetCoordX(), b->GetCoordX()) &&
                       same(a->GetCoordY(), b->GetCoordY()) &&
                       same(a->GetCoordZ(), b->GetCoordZ()));
            FUZZ_CHECK(a->GetPosCov_xx() == b->GetPosCov_xx() &&
                       a->GetPosCov_zz() == b->GetPosCov_zz());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    gpsbook::AsciiLayout layout;
    layout.angleFormat = data[0] % 7;
    layout.separator = data[1] % 5;
    layout.quotes = (data[2] & 1) != 0;
    const std::size_t fields = std::min<std::size_t>(data[3] % 12, size - 4);
    for (std::size_t i = 0; i < fields; ++i)
        layout.fields.push_back({data[4 + i] % 40, data[4 + i] / 40});
    const std::string text(reinterpret_cast<const char*>(data) + 4 + fields, size - 4 - fields);

    CLibGps book;
    book.AddGrp("Esistente");
    gpsbook::ImportOutcome ascii = gpsbook::importAsciiText(text, layout, book, "Importato");
    if (!ascii.error.empty()) {
        FUZZ_CHECK(book.GetGrpArSize() == 1);
    } else {
        FUZZ_CHECK(book.GetGrpArSize() == 2 && ascii.group == 1 && ascii.points > 0);
        roundTrip(book);
    }

    CLibGps rw5;
    gpsbook::ImportOutcome survey = gpsbook::importRw5Text(text, rw5, "RW5");
    if (!survey.error.empty()) {
        FUZZ_CHECK(rw5.GetGrpArSize() == 0);
    } else {
        FUZZ_CHECK(rw5.GetGrpArSize() == survey.groups && survey.points > 0);
        roundTrip(rw5);
    }
    return 0;
}
