// The ASCII and RW5 imports on any bytes, with a layout taken from the first bytes: a new group
// or a message with the line, and a refused import leaves the field book as it was.
#include "FuzzCheck.h"
#include "core/AsciiImport.h"
#include "gpsdialogs/interfaces/LibGps.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    gpsbook::AsciiLayout layout;
    layout.angleFormat = data[0] % 7;
    layout.separator = data[1] % 5;
    layout.quotes = (data[2] & 1) != 0;
    const int fields = data[3] % 12;
    for (int i = 0; i < fields && 4 + i < static_cast<int>(size); ++i)
        layout.fields.push_back({data[4 + i] % 40, data[4 + i] / 40});
    const std::string text(reinterpret_cast<const char*>(data) + 4, size - 4);

    CLibGps book;
    book.AddGrp("Esistente");
    gpsbook::ImportOutcome ascii = gpsbook::importAsciiText(text, layout, book, "Importato");
    if (!ascii.error.empty())
        FUZZ_CHECK(book.GetGrpArSize() == 1);
    else
        FUZZ_CHECK(book.GetGrpArSize() == 2 && ascii.group == 1);

    CLibGps rw5;
    gpsbook::ImportOutcome survey = gpsbook::importRw5Text(text, rw5, "RW5");
    if (!survey.error.empty()) FUZZ_CHECK(rw5.GetGrpArSize() == 0);
    return 0;
}
