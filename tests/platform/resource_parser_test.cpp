// Tests of the resource-script parser: statements, default styles, strings, DLGINIT, the
// preprocessor, error messages, and robustness against damaged scripts.
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

using namespace platform;

namespace {

using Files = std::map<std::string, std::string>;

ParseResult parse(const std::string& text, const Files& files = {}) {
    return parseResourceScript(text, "t.rc",
                               [files](const std::string& name) -> std::optional<std::string> {
                                   auto it = files.find(name);
                                   if (it == files.end()) return std::nullopt;
                                   return it->second;
                               });
}

int lineOf(const std::string& text, const std::string& needle) {
    const auto pos = text.find(needle);
    if (pos == std::string::npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + pos, '\n'));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const Files kIds = {{"ids.h", "#define IDD_MAIN 100\n"
                              "#define IDC_NAME 103 // name field\n"
                              "#define IDC_KIND 104\n"
                              "#define IDS_HELLO 1000\n"}};

const std::string kScript = R"rc(#pragma code_page(65001)
#include <winresrc.h>
#include "ids.h"
/* a block
   comment */
#define IDD_SIMPLE 200
#define MY_STYLE WS_CHILD | \
                 WS_BORDER
#define EMPTY_FLAG
#ifdef EMPTY_FLAG
#define FROM_IFDEF 1
#else
#define FROM_IFDEF 2
#endif
#if defined(NOT_DEFINED) || 0
#define FROM_IF 1
#elif defined EMPTY_FLAG && (3 > 2)
#define FROM_IF 2
#else
#define FROM_IF 3
#endif
#define GONE 5
#undef GONE
#pragma warning(disable: 4996)

LANGUAGE LANG_ITALIAN, SUBLANG_ITALIAN

IDD_MAIN DIALOGEX 0, 0, 200, 120
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
EXSTYLE WS_EX_CONTEXTHELP
CAPTION "Modalità & prova"
FONT 8, "MS Sans Serif", 400, 1, 0x1
BEGIN
    LTEXT           "&Nome :", IDC_STATIC, 5, 6, 40, 8
    RTEXT           "Destra", 101, 5, 20, 40, 8, SS_NOTIFY
    CTEXT           7, 102, 5, 30, 40, 8
    EDITTEXT        IDC_NAME, 50, 5, 80, 12, ES_AUTOHSCROLL
    COMBOBOX        IDC_KIND, 50, 20, 80, 60, CBS_DROPDOWN | WS_VSCROLL
    COMBOBOX        105, 50, 35, 80, 60, CBS_DROPDOWNLIST
    LISTBOX         106, 50, 50, 80, 40, LBS_SORT | NOT WS_BORDER
    PUSHBUTTON      "Note", 107, 5, 100, 40, 14, NOT WS_TABSTOP
    DEFPUSHBUTTON   "&OK", IDOK, 100, 100, 40, 14
    GROUPBOX        "Gruppo", IDC_STATIC, 140, 5, 55, 40
    CHECKBOX        "C", 110, 145, 15, 40, 10
    AUTOCHECKBOX    "AC", 111, 145, 25, 40, 10
    RADIOBUTTON     "R", 112, 145, 35, 40, 10
    AUTORADIOBUTTON "AR", 113, 145, 45, 40, 10, WS_GROUP
    STATE3          "S3", 114, 145, 55, 40, 10
    AUTO3STATE      "A3", 115, 145, 65, 40, 10
    ICON            APP_ICON, IDC_STATIC, 1, 2
    CONTROL         "", 120, "SysListView32", LVS_REPORT | WS_BORDER | WS_TABSTOP, 5, 50, 40, 40, WS_EX_CLIENTEDGE
    CONTROL         "Slider", 121, "MSCTLS_TRACKBAR32", TBS_AUTOTICKS | NOT WS_VISIBLE, 5, 60, 40, 10
    CONTROL         "Btn", 122, BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP,
                    5, 70, 40, 10
    CONTROL         "Ed", 123, EDIT, 0, 5, 80, 40, 10, 0, 77
    COMBOBOX        124, 1, 1, 1, 1
    LTEXT           "g", 125, 1, 1, 1, 1, NOT WS_GROUP
    RADIOBUTTON     "r", 126, 1, 1, 1, 1, WS_DISABLED
    ICON            2, 127, 1, 2, 30, 40
END

IDD_SIMPLE DIALOG DISCARDABLE 10, 20, 100, 50
BEGIN
    EDITTEXT        301, 1, 2, 3, 4, MY_STYLE
END

201 DIALOG 0, 0, 10, 10
STYLE WS_CHILD
{
}

STRINGTABLE
BEGIN
    IDS_HELLO,  "Ciao\tmondo\n"
    1001        "Virgolette ""doppie"" e \"escape\""
    1002,       "\\ \a \101\x42 \303\250 perché"
    1003,       "&Salva"
END

IDD_MAIN DLGINIT
BEGIN
    IDC_KIND, 0x403, 4, 0
0x6e55, 0x006f,
    IDC_KIND, 0x403, 4, 0
"Due\000"
    IDC_KIND, 0x1234, 2, 0, 0x0000,
    106, 0x180, 3L, "Tre"
    0
END

IDD_SIMPLE 240
BEGIN
    301, 0x403, 2, 0, "A\000", 0
END
)rc";

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    DWORD style;
};

} // namespace

TEST(ResourceParser, reads_dialog_headers_and_options) {
    const ParseResult r = parse(kScript, kIds);
    ASSERT_TRUE(r.module) << r.error;
    ASSERT_EQ(r.module->dialogs.size(), 3u);

    const DialogTemplate* main = r.module->findDialog(100);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->extended);
    EXPECT_EQ(main->line, lineOf(kScript, "IDD_MAIN DIALOGEX"));
    EXPECT_EQ(main->cx, 200);
    EXPECT_EQ(main->cy, 120);
    EXPECT_EQ(main->style, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT);
    EXPECT_EQ(main->exStyle, WS_EX_CONTEXTHELP);
    EXPECT_EQ(main->caption, "Modalità & prova");
    EXPECT_EQ(main->font.pointSize, 8);
    EXPECT_EQ(main->font.face, "MS Sans Serif");
    EXPECT_EQ(main->font.weight, 400);
    EXPECT_TRUE(main->font.italic);
    EXPECT_EQ(main->font.charset, 1);

    // No STYLE, CAPTION or FONT: the classic default style and font.
    const DialogTemplate* simple = r.module->findDialog(200);
    ASSERT_NE(simple, nullptr);
    EXPECT_FALSE(simple->extended);
    EXPECT_EQ(simple->x, 10);
    EXPECT_EQ(simple->y, 20);
    EXPECT_EQ(simple->style, WS_POPUP | WS_BORDER | WS_SYSMENU);
    EXPECT_EQ(simple->font.face, "MS Sans Serif");
    EXPECT_EQ(simple->font.pointSize, 8);
    ASSERT_EQ(simple->controls.size(), 1u);
    EXPECT_EQ(simple->controls[0].style, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP);

    const DialogTemplate* bare = r.module->findDialog(201);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->style, WS_CHILD);
    EXPECT_TRUE(bare->controls.empty());

    EXPECT_EQ(r.module->findDialog(999), nullptr);
    EXPECT_EQ(r.module->name, "t.rc");
}

TEST(ResourceParser, gives_each_control_statement_its_class_and_style) {
    const ParseResult r = parse(kScript, kIds);
    ASSERT_TRUE(r.module) << r.error;
    const DialogTemplate& d = *r.module->findDialog(100);
    // The words the resource compiler stores: without a style a statement gets its default
    // style; with one, its base style, which for statics lacks WS_GROUP, for combo boxes is
    // empty and for radio and three-state buttons lacks WS_TABSTOP.
    const DWORD base = WS_CHILD | WS_VISIBLE;
    const std::vector<ExpectedControl> expected = {
        {-1, "Static", "&Nome :", base | SS_LEFT | WS_GROUP},
        {101, "Static", "Destra", base | SS_RIGHT | SS_NOTIFY},
        {102, "Static", "", base | SS_CENTER | WS_GROUP},
        {103, "Edit", "", base | ES_LEFT | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
        {104, "ComboBox", "", base | CBS_DROPDOWN | WS_VSCROLL},
        {105, "ComboBox", "", base | CBS_DROPDOWNLIST},
        {106, "ListBox", "", base | LBS_NOTIFY | LBS_SORT},
        {107, "Button", "Note", base | BS_PUSHBUTTON},
        {IDOK, "Button", "&OK", base | BS_DEFPUSHBUTTON | WS_TABSTOP},
        {-1, "Button", "Gruppo", base | BS_GROUPBOX},
        {110, "Button", "C", base | BS_CHECKBOX | WS_TABSTOP},
        {111, "Button", "AC", base | BS_AUTOCHECKBOX | WS_TABSTOP},
        {112, "Button", "R", base | BS_RADIOBUTTON | WS_TABSTOP},
        {113, "Button", "AR", base | BS_AUTORADIOBUTTON | WS_GROUP},
        {114, "Button", "S3", base | BS_3STATE | WS_TABSTOP},
        {115, "Button", "A3", base | BS_AUTO3STATE | WS_TABSTOP},
        {-1, "Static", "APP_ICON", base | 0x3},
        {120, "SysListView32", "", base | LVS_REPORT | WS_BORDER | WS_TABSTOP},
        {121, "msctls_trackbar32", "Slider", WS_CHILD | 0x1},
        {122, "Button", "Btn", base | BS_AUTOCHECKBOX | WS_TABSTOP},
        {123, "Edit", "Ed", base},
        {124, "ComboBox", "", base | CBS_SIMPLE | WS_TABSTOP},
        {125, "Static", "g", base | SS_LEFT},
        {126, "Button", "r", base | BS_RADIOBUTTON | WS_DISABLED},
        {127, "Static", "", base | 0x3},
    };
    ASSERT_EQ(d.controls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        const ControlTemplate& c = d.controls[i];
        EXPECT_EQ(c.id, expected[i].id);
        EXPECT_EQ(c.className, expected[i].className);
        EXPECT_EQ(c.text, expected[i].text);
        EXPECT_EQ(c.style, expected[i].style) << std::hex << c.style;
    }
    EXPECT_EQ(d.controls[17].exStyle, WS_EX_CLIENTEDGE);
    EXPECT_EQ(d.controls[0].exStyle, 0u);
    const ControlTemplate& edit = d.controls[3];
    EXPECT_EQ(edit.x, 50);
    EXPECT_EQ(edit.y, 5);
    EXPECT_EQ(edit.cx, 80);
    EXPECT_EQ(edit.cy, 12);
    EXPECT_EQ(d.controls[24].cx, 0); // an icon takes its size from the icon
    // A statement spread over two lines is reported at its first line.
    EXPECT_EQ(d.controls[19].line, lineOf(kScript, "CONTROL         \"Btn\""));
    EXPECT_EQ(d.controls[0].line, lineOf(kScript, "LTEXT"));
}

TEST(ResourceParser, decodes_string_escapes_and_keeps_utf8) {
    const ParseResult r = parse(kScript, kIds);
    ASSERT_TRUE(r.module) << r.error;
    EXPECT_EQ(r.module->strings.size(), 4u);
    ASSERT_NE(r.module->findString(1000), nullptr);
    EXPECT_EQ(*r.module->findString(1000), "Ciao\tmondo\n");
    EXPECT_EQ(*r.module->findString(1001), "Virgolette \"doppie\" e \"escape\"");
    // \a is stored as 0x08, the resource compiler's right-alignment mark.
    EXPECT_EQ(*r.module->findString(1002), "\\ \b AB è perché");
    EXPECT_EQ(*r.module->findString(1003), "&Salva");
    EXPECT_EQ(r.module->findString(1004), nullptr);
}

TEST(ResourceParser, decodes_dlginit_items_in_order) {
    const ParseResult r = parse(kScript, kIds);
    ASSERT_TRUE(r.module) << r.error;
    const auto& items = r.module->listItems;
    ASSERT_EQ(items.count(100), 1u);
    EXPECT_EQ(items.at(100).at(104), (std::vector<std::string>{"Uno", "Due"}));
    EXPECT_EQ(items.at(100).at(106), (std::vector<std::string>{"Tre"}));
    EXPECT_EQ(items.at(100).size(), 2u); // the 0x1234 entry adds nothing
    EXPECT_EQ(items.at(200).at(301), (std::vector<std::string>{"A"}));
}

TEST(ResourceParser, accepts_dlginit_as_a_defined_type_number) {
    const std::string script = "#define DLGINIT 240\n"
                               "7 DLGINIT\nBEGIN\n 9, 0x403, 3, 0, \"ab\\000\", 0\nEND\n";
    const ParseResult r = parse(script);
    ASSERT_TRUE(r.module) << r.error;
    EXPECT_EQ(r.module->listItems.at(7).at(9), (std::vector<std::string>{"ab"}));
    EXPECT_EQ(r.module->symbols.at("DLGINIT"), 240);
}

TEST(ResourceParser, runs_the_preprocessor_and_records_numeric_symbols) {
    const ParseResult r = parse(kScript, kIds);
    ASSERT_TRUE(r.module) << r.error;
    const auto& s = r.module->symbols;
    EXPECT_EQ(s.at("IDD_MAIN"), 100); // from the included file
    EXPECT_EQ(s.at("IDC_NAME"), 103);
    EXPECT_EQ(s.at("IDD_SIMPLE"), 200);
    EXPECT_EQ(s.at("MY_STYLE"), static_cast<long>(WS_CHILD | WS_BORDER)); // continued line
    EXPECT_EQ(s.at("FROM_IFDEF"), 1);
    EXPECT_EQ(s.at("FROM_IF"), 2);
    EXPECT_EQ(s.count("EMPTY_FLAG"), 0u); // defined without a value
    EXPECT_EQ(s.count("GONE"), 0u);       // undefined again
}

TEST(ResourceParser, evaluates_expressions_like_the_resource_compiler) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"2 + 3 * 4", 14},
        {"(2 + 3) * 4", 20},
        {"-5", -5},
        {"~0 & 0xFF", 255},
        {"0x10 | 1", 17},
        {"10 - 2 - 3", 5},
        {"7 / 2", 3},
        {"7 % 4", 3},
        {"0x7fffL", 32767},
        {"12U", 12},
        {"IDOK + IDCANCEL", 3},
        {"1 << 4", 16},
        {"6 ^ 3", 5},
        {"- -4", 4},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        const ParseResult r = parse("1 DIALOG " + text + ", 0, 1, 1\nBEGIN\nEND\n");
        ASSERT_TRUE(r.module) << r.error;
        EXPECT_EQ(r.module->findDialog(1)->x, value);
    }
}

TEST(ResourceParser, reads_over_other_resource_kinds) {
    const std::string script = R"rc(APP_ICON ICON "res\\app.ico"
IDR_MENU MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&Apri...\tCtrl+O", 40001
        MENUITEM SEPARATOR
    END
END
IDR_ACC ACCELERATORS
BEGIN
    "^C", 40002, ASCII
    VK_F1, 40003, VIRTKEY
END
VS_VERSION_INFO VERSIONINFO
 FILEVERSION 1,0,0,1
 FILEFLAGSMASK 0x3fL
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        VALUE "FileVersion", "1, 0, 0, 1"
    END
END
IDR_TB TOOLBAR 16, 15
BEGIN
    BUTTON 40001
    SEPARATOR
END
1 TEXTINCLUDE
BEGIN
    "#include ""afxres.h""\r\n"
    "\0"
END
IDR_DATA PNG "data.png"
5 DIALOG 0, 0, 1, 1
BEGIN
END
)rc";
    const ParseResult r = parse(script);
    ASSERT_TRUE(r.module) << r.error;
    EXPECT_EQ(r.module->dialogs.size(), 1u);
    EXPECT_NE(r.module->findDialog(5), nullptr);
}

TEST(ResourceParser, reports_malformed_input_at_the_faulty_line) {
    struct Case {
        const char* script;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"1 DIALOG 0,0,1,1\nBEGIN\n LTEXT \"abc, 1, 0,0,1,1\nEND\n", "t.rc:3: unterminated string"},
        {"// x\n/* never\nclosed\n", "t.rc:2: unterminated comment"},
        {"1 DIALOG 0,0,1,1\nSTYLE WS_POPUP\nLTEXT \"a\", 1, 0,0,1,1\nEND\n",
         "t.rc:3: expected BEGIN, found 'LTEXT'"},
        {"1 DIALOG 0,0,1,1\nBEGIN\n LTEXT \"a\", 1, 0,0,1,1\n",
         "t.rc:2: missing END for this BEGIN"},
        {"1 DIALOG 0,0,1,1\nBEGIN\n EDITTEXT 1, 0x1G, 0,1,1\nEND\n", "t.rc:3: bad number '0x1G'"},
        {"1 DIALOG 0,0,1,1\nBEGIN\n BUTTON 1, 0,0,1,1\nEND\n",
         "t.rc:3: unknown statement 'BUTTON' in dialog"},
        {"1 DIALOG 0,0,1,1\nBEGIN\n EDITTEXT 1, 0, 0, 1\nEND\n",
         "t.rc:3: wrong number of arguments for EDITTEXT"},
        {"1 DIALOG 0,0,1,1\nBEGIN\n EDITTEXT 1, 0, 0, 1, 1, 0, 0, 5\nEND\n",
         "t.rc:3: too many arguments for EDITTEXT"},
        {"1 DIALOGEX 0, 0, 10\nBEGIN\nEND\n", "t.rc:1: wrong number of arguments for DIALOGEX"},
        {"1 DIALOG 0,0,1,1\nBEGIN\nEND\n\n1 DIALOGEX 0,0,1,1\nBEGIN\nEND\n",
         "t.rc:5: duplicate dialog id 1"},
        {"STRINGTABLE\nBEGIN\n 5, \"a\"\n 5, \"b\"\nEND\n", "t.rc:4: duplicate string id 5"},
        {"1 DIALOG 0,0,1,1\nSTYLE WS_POPUP |\n  WS_BOGUS\nBEGIN\nEND\n",
         "t.rc:3: unknown name WS_BOGUS"},
        {"IDD_NOPE DIALOG 0,0,1,1\nBEGIN\nEND\n", "t.rc:1: unknown name IDD_NOPE"},
        {"STRINGTABLE\nBEGIN\n 5, \"a\" \"b\"\nEND\n",
         "t.rc:3: adjacent strings are not joined in resource scripts"},
        {"1 DIALOG 0,0,1,1\nBEGIN\n CONTROL \"\", 1, 42, 0, 0,0,1,1\nEND\n",
         "t.rc:3: expected a window class, found '42'"},
        {"// x\n#include \"missing.h\"\n", "t.rc:2: cannot open include file \"missing.h\""},
        {"#pragma code_page(1252)\n",
         "t.rc:1: code page 1252 is not supported: the script must be UTF-8 (65001)"},
        {"\n#endif\n", "t.rc:2: #endif without #if"},
        {"#ifdef X\n1 DIALOG 0,0,1,1\nBEGIN\nEND\n", "t.rc:1: #if without #endif"},
        {"#if 1\n#else\n#else\n#endif\n", "t.rc:3: #else after #else"},
        {"\n#error stop here\n", "t.rc:2: #error stop here"},
        {"1 DLGINIT\nBEGIN\n 5, 0x403, 10, 0, \"ab\", 0\nEND\n",
         "t.rc:1: DLGINIT data of control 5 runs past the end"},
        {"1 DIALOG 0,0,1,1 / 0\nBEGIN\nEND\n", "t.rc:1: division by zero"},
        {"1 DIALOG 0,0,1,1\nBEGIN\n LTEXT \"é\", 1, 0,0,1,1 é\nEND\n",
         "t.rc:3: unexpected character 0xC3"},
        {"\nEND\n", "t.rc:2: unexpected 'END'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const ParseResult r = parse(c.script);
        EXPECT_EQ(r.module, nullptr);
        EXPECT_EQ(r.error, c.error);
        const std::string error = c.error;
        const auto first = error.find(':') + 1;
        EXPECT_EQ(r.errorLine, std::stoi(error.substr(first, error.find(':', first) - first)));
    }
}

TEST(ResourceParser, resolves_includes_and_names_the_included_file_in_errors) {
    const Files files = {{"a.h", "#include \"b.h\"\n#define A_ID 7\n"},
                         {"b.h", "#define B_ID 8\n"},
                         {"bad.h", "#define X 1\n#define Y \"open\n"},
                         {"self.h", "#include \"self.h\"\n"}};
    const ParseResult ok = parse("#include \"a.h\"\nA_ID DIALOG 0,0,B_ID,1\nBEGIN\nEND\n", files);
    ASSERT_TRUE(ok.module) << ok.error;
    EXPECT_EQ(ok.module->findDialog(7)->cx, 8);

    const ParseResult bad = parse("\n#include \"bad.h\"\n", files);
    EXPECT_EQ(bad.error, "bad.h:2: unterminated string");
    EXPECT_EQ(bad.errorLine, 2);

    const ParseResult loop = parse("#include \"self.h\"\n", files);
    EXPECT_EQ(loop.module, nullptr);
    EXPECT_EQ(loop.error, "self.h:1: #include nested too deeply");

    // Without a resolver only the known system headers can be included.
    EXPECT_TRUE(
        parseResourceScript("#include <windows.h>\n#include \"afxres.h\"\n", "x.rc").module);
    EXPECT_EQ(parseResourceScript("#include \"ids.h\"\n", "x.rc").error,
              "x.rc:1: cannot open include file \"ids.h\"");
}

TEST(ResourceParser, survives_a_script_cut_at_every_offset) {
    // Each prefix either parses or fails with a located message; none may crash or hang.
    for (std::size_t n = 0; n <= kScript.size(); ++n) {
        const ParseResult r = parse(kScript.substr(0, n), kIds);
        if (r.module) {
            EXPECT_TRUE(r.error.empty());
        } else {
            ASSERT_FALSE(r.error.empty()) << "offset " << n;
            EXPECT_GT(r.errorLine, 0) << "offset " << n << ": " << r.error;
        }
    }
}

TEST(ResourceParser, macro_expansion_has_one_budget_for_the_whole_script) {
    // Each name stands for two of the previous one, up to A<top>, and A<top> is used `uses`
    // times: one use of A14 takes about 50,000 expansion steps, A18 about 800,000.
    auto script = [](int top, int uses) {
        std::string text = "#define A0 1\n";
        for (int i = 1; i <= top; ++i)
            text += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" +
                    std::to_string(i - 1) + "\n";
        text += "1 RCDATA\nBEGIN\n";
        for (int i = 0; i < uses; ++i)
            text += "A" + std::to_string(top) + "\n";
        return text + "END\n";
    };

    // One use fits; four uses, each well within what one expansion may produce, add up past
    // what a script of 400 bytes may need.
    const ParseResult one = parse(script(14, 1));
    EXPECT_TRUE(one.module) << one.error;
    const ParseResult four = parse(script(14, 4));
    EXPECT_EQ(four.module, nullptr);
    EXPECT_NE(four.error.find("macro expansion exceeds what a script of this size may need"),
              std::string::npos)
        << four.error;
    EXPECT_GT(four.errorLine, 0);

    // Four hundred uses of A18, a hundred million tokens in all, are refused as soon.
    const ParseResult many = parse(script(18, 400));
    EXPECT_EQ(many.module, nullptr);
    EXPECT_NE(many.error.find("macro expansion exceeds"), std::string::npos) << many.error;

    // The budget grows with the script: a large one with many small uses is read.
    std::string large = "#define ONE 1\n#define TWO ONE\n1 RCDATA\nBEGIN\n";
    for (int i = 0; i < 200000; ++i)
        large += "TWO,\n";
    large += "END\n";
    const ParseResult plain = parse(large);
    EXPECT_TRUE(plain.module) << plain.error;
}

TEST(ResourceParser, knows_every_style_constant_of_the_types_header) {
    const std::string header = readFile(GPS_SOURCE_DIR "/platform/include/platform/types.h");
    ASSERT_FALSE(header.empty());
    const std::regex declaration(
        R"(inline constexpr \w+ ((?:WS|DS|SS|ES|BS|CBS|LBS|LVS)_\w+|ID\w+) = ([^;]+);)");
    int checked = 0;
    for (std::sregex_iterator it(header.begin(), header.end(), declaration), end; it != end; ++it) {
        const std::string name = (*it)[1];
        const std::string value = (*it)[2];
        SCOPED_TRACE(name);
        const std::optional<long> known = knownConstant(name);
        ASSERT_TRUE(known.has_value());
        if (std::regex_match(value, std::regex(R"(-?(0x[0-9A-Fa-f]+|\d+))"))) {
            // As the 32-bit style words are stored: 0x80000000 wraps where long has 32 bits.
            EXPECT_EQ(*known, static_cast<long>(std::stoull(value, nullptr, 0)));
        }
        ++checked;
    }
    EXPECT_GT(checked, 100);
    EXPECT_EQ(knownConstant("LANG_ITALIAN"), 0x10);
    EXPECT_EQ(knownConstant("WS_NONSENSE"), std::nullopt);
}

TEST(ResourceParser, parses_the_module_resource_script) {
    const std::string dir = GPS_SOURCE_DIR "/resources/";
    const std::string script = readFile(dir + "gpsdialogs.rc");
    ASSERT_FALSE(script.empty()) << "resources/gpsdialogs.rc is missing";
    const ParseResult r = parseResourceScript(
        script, "gpsdialogs.rc", [&](const std::string& name) -> std::optional<std::string> {
            std::ifstream in(dir + name, std::ios::binary);
            if (!in) return std::nullopt;
            return readFile(dir + name);
        });
    ASSERT_TRUE(r.module) << r.error;
    EXPECT_EQ(r.module->dialogs.size(), 15u);
    EXPECT_EQ(r.module->strings.size(), 62u);
    ASSERT_EQ(r.module->listItems.count(15151), 1u);
    const auto& items = r.module->listItems.at(15151);
    ASSERT_EQ(items.count(2722), 1u);
    ASSERT_EQ(items.count(2721), 1u);
    EXPECT_EQ(items.at(2722), (std::vector<std::string>{"Monofrequenza", "Doppia frequenza"}));
    EXPECT_EQ(items.at(2721), (std::vector<std::string>{"Baseline", "RTK"}));
}
