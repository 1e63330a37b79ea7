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

const char* const kString =
    "std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >";
const char* const kGroups = "std::vector<CGrpGps*, std::allocator<CGrpGps*> >";

std::string withTypes(std::string pattern) {
    for (auto [token, type] : {std::pair{"$S", kString}, std::pair{"$G", kGroups}})
        for (size_t at; (at = pattern.find(token)) != std::string::npos;)
            pattern.replace(at, 2, type);
    return pattern;
}

// What a host links against: the thirteen functions, and of CGestGps what a derived class
// needs (constructors, assignment, the vtable and the type information for its own vtable).
const std::set<std::string>& expectedExports() {
    static const std::set<std::string> names = [] {
        std::set<std::string> out;
        for (const char* name :
             {"FDlgModPunGps(CCts*, CPunGps*, CLibGps*, gis::CLibGis*, bool, CGestGps*, bool)",
              "FDlgFindPunGps($S&, bool&, bool&)", "FDatiFindPunGps($S&, bool&, bool&)",
              "FMostraPunGps(CPunGps*)", "FMostraGrpGps(CGrpGps*)", "FDlgSelGrpLibGps($G*, $G*)",
              "FDlgModStazBase(CGrpGps*, CGestGps*, bool)",
              "FDlgOpzSpostaBaseGps(CLibGps*, CDrawEng*, int&, double&)",
              "FDlgOpzCreazGps(CGrpGps*, CLibGps*, int&, $S&, $S&, double&, double&, double&, "
              "double&)",
              "FDlgOpzTrasfPtGps(CLibGps*, int, int&, double&)", "FSelDatiFile()",
              "FInpNomeFileAsciiLibGps($S&)", "FInpNomeFileConvGpsVari($S&, int&)",
              "CGestGps::CGestGps()", "CGestGps::CGestGps(CGestGps const&)",
              "CGestGps::operator=(CGestGps const&)", "vtable for CGestGps",
              "typeinfo for CGestGps", "typeinfo name for CGestGps"})
            out.insert(withTypes(name));
        return out;
    }();
    return names;
}

} // namespace

TEST(ExportedSymbols, exactly_the_thirteen_functions_and_the_host_object_leave_the_library) {
    std::set<std::string> names = definedDynamicSymbols(GPSDIALOGS_LIBRARY);
    ASSERT_FALSE(names.empty()) << "nm could not read " << GPSDIALOGS_LIBRARY;
    std::erase_if(names, [](const std::string& name) {
        return name.rfind("GPSDIALOGS", 0) == 0; // version node of the symbol map
    });
    for (const std::string& name : names)
        EXPECT_EQ(expectedExports().count(name), 1u) << "unexpected export: " << name;
    for (const std::string& name : expectedExports())
        EXPECT_EQ(names.count(name), 1u) << "missing export: " << name;
}
