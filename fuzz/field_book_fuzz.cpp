// The field-book file on any bytes: a field book or a short message naming the file, never a
// crash; a field book that loads writes a text that loads again to the same text.
#include "FuzzCheck.h"
#include "core/FieldBook.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    gpsbook::LoadResult result = gpsbook::parseFieldBook(text, "fuzz.json");
    if (!result.ok()) {
        FUZZ_CHECK(!result.error.empty());
        FUZZ_CHECK(result.error.find("fuzz.json") != std::string::npos);
        return 0;
    }
    gpsbook::FieldBook& fb = *result.fieldBook;
    std::string error;
    const std::string saved = gpsbook::fieldBookToText(fb.book, fb.context, &fb.drawings, &fb.gis,
                                                       error, &fb.drawingPoints);
    if (!error.empty()) return 0; // refused to write, with a reason
    gpsbook::LoadResult again = gpsbook::parseFieldBook(saved, "again.json");
    FUZZ_CHECK(again.ok());
    gpsbook::FieldBook& fb2 = *again.fieldBook;
    const std::string resaved = gpsbook::fieldBookToText(fb2.book, fb2.context, &fb2.drawings,
                                                         &fb2.gis, error, &fb2.drawingPoints);
    FUZZ_CHECK(resaved == saved);
    return 0;
}
