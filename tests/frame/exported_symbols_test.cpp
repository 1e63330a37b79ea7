// The library exports its exported functions and the host object class, nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

std::set<std::string> definedDynamicSymbols(const std::string& library) {
    std::set<std::string> names;
    std::string command = "nm -D -C --defined-only '" + library + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return names;
    char line[4096];
    while (fgets(line, sizeof line, pipe) != nullptr) {
        std::string entry(line);
        if (!entry.empty() && entry.back() == '\n') entry.pop_back();
        // "address type name": keep the name.
        size_t first = entry.find(' ');
        size_t second = first == std::string::npos ? first : entry.find(' ', first + 1);
        if (second != std::string::npos) names.insert(entry.substr(second + 1));
    }
    pclose(pipe);
    return names;
}

bool allowed(const std::string& name) {
    static const char* const exports[] = {
        "FDlgModPunGps(",           "FDlgModStazBase(",      "FMostraPunGps(",
        "FMostraGrpGps(",           "FDlgFindPunGps(",       "FDatiFindPunGps(",
        "FDlgOpzCreazGps(",         "FDlgOpzTrasfPtGps(",    "FDlgOpzSpostaBaseGps(",
        "FDlgSelGrpLibGps(",        "FSelDatiFile(",         "FInpNomeFileAsciiLibGps(",
        "FInpNomeFileConvGpsVari(", "CGestGps::CGestGps(",   "CGestGps::operator=(",
        "vtable for CGestGps",      "typeinfo for CGestGps", "typeinfo name for CGestGps"};
    for (const char* prefix : exports)
        if (name.rfind(prefix, 0) == 0) return true;
    return false;
}

} // namespace

TEST(ExportedSymbols, only_the_exports_and_the_host_object_leave_the_library) {
    std::set<std::string> names = definedDynamicSymbols(GPSDIALOGS_LIBRARY);
    ASSERT_FALSE(names.empty()) << "nm could not read " << GPSDIALOGS_LIBRARY;
    for (const std::string& name : names) {
        if (name.rfind("GPSDIALOGS", 0) == 0) continue; // version node of the symbol map
        EXPECT_TRUE(allowed(name)) << "unexpected export: " << name;
    }
    for (const char* required :
         {"FDlgModPunGps(CCts*, CPunGps*, CLibGps*, gis::CLibGis*, bool, CGestGps*, bool)",
          "FDlgFindPunGps(std::__cxx11::basic_string<char, std::char_traits<char>, "
          "std::allocator<char> >&, bool&, bool&)",
          "FDatiFindPunGps(std::__cxx11::basic_string<char, std::char_traits<char>, "
          "std::allocator<char> >&, bool&, bool&)",
          "FMostraPunGps(CPunGps*)", "FMostraGrpGps(CGrpGps*)",
          "FDlgSelGrpLibGps(std::vector<CGrpGps*, std::allocator<CGrpGps*> >*, "
          "std::vector<CGrpGps*, std::allocator<CGrpGps*> >*)",
          "CGestGps::CGestGps()", "CGestGps::CGestGps(CGestGps const&)",
          "CGestGps::operator=(CGestGps const&)", "vtable for CGestGps"})
        EXPECT_EQ(names.count(required), 1u) << "missing export: " << required;
}

TEST(ExportedSymbols, base_station_and_point_creation_exports_leave_the_library) {
    std::set<std::string> names = definedDynamicSymbols(GPSDIALOGS_LIBRARY);
    for (const char* required :
         {"FDlgModStazBase(CGrpGps*, CGestGps*, bool)",
          "FDlgOpzSpostaBaseGps(CLibGps*, CDrawEng*, int&, double&)",
          "FDlgOpzCreazGps(CGrpGps*, CLibGps*, int&, std::__cxx11::basic_string<char, "
          "std::char_traits<char>, std::allocator<char> >&, std::__cxx11::basic_string<char, "
          "std::char_traits<char>, std::allocator<char> >&, double&, double&, double&, double&)",
          "FDlgOpzTrasfPtGps(CLibGps*, int, int&, double&)"})
        EXPECT_EQ(names.count(required), 1u) << "missing export: " << required;
}
