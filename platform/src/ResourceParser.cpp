// Reader of resource scripts.
//
// Three layers, each on top of the previous one:
//  - Lexer: characters to tokens (names, numbers, strings with their escapes, punctuation),
//    comments skipped, line numbers kept;
//  - Preprocessor: the C preprocessor subset that resource scripts use (#include, object-like
//    #define, #undef, the conditionals, #pragma code_page), with macros expanded token by token;
//  - ScriptParser: the statements, of which DIALOG/DIALOGEX, STRINGTABLE and DLGINIT are
//    interpreted and every other resource kind is read over.
//
// A fault anywhere is thrown as ScriptError and becomes the ParseResult's message at the one
// entry point; nothing thrown here leaves parseResourceScript. Every loop consumes input and
// every recursion is bounded, so a damaged script ends in a message, never in a hang.
#include "platform/resources.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <exception>
#include <new>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace platform {

namespace {

// ---- Names a script may use without defining them ---------------------------------------------

struct NamedConstant {
    const char* name;
    long value;
};

// Names of types.h are taken from there, so that their values cannot drift apart.
// clang-format off
#define GPS_RC_CONSTANT(name) NamedConstant{#name, static_cast<long>(name)}
// clang-format on

const NamedConstant kConstants[] = {
    // Command ids.
    GPS_RC_CONSTANT(IDOK),
    GPS_RC_CONSTANT(IDCANCEL),
    GPS_RC_CONSTANT(IDABORT),
    GPS_RC_CONSTANT(IDRETRY),
    GPS_RC_CONSTANT(IDIGNORE),
    GPS_RC_CONSTANT(IDYES),
    GPS_RC_CONSTANT(IDNO),
    GPS_RC_CONSTANT(IDHELP),
    GPS_RC_CONSTANT(IDC_STATIC),
    {"IDCLOSE", 8},
    {"IDTRYAGAIN", 10},
    {"IDCONTINUE", 11},
    {"VS_VERSION_INFO", 1},
    // Window styles.
    GPS_RC_CONSTANT(WS_OVERLAPPED),
    GPS_RC_CONSTANT(WS_POPUP),
    GPS_RC_CONSTANT(WS_CHILD),
    GPS_RC_CONSTANT(WS_MINIMIZE),
    GPS_RC_CONSTANT(WS_VISIBLE),
    GPS_RC_CONSTANT(WS_DISABLED),
    GPS_RC_CONSTANT(WS_CLIPSIBLINGS),
    GPS_RC_CONSTANT(WS_CLIPCHILDREN),
    GPS_RC_CONSTANT(WS_MAXIMIZE),
    GPS_RC_CONSTANT(WS_CAPTION),
    GPS_RC_CONSTANT(WS_BORDER),
    GPS_RC_CONSTANT(WS_DLGFRAME),
    GPS_RC_CONSTANT(WS_VSCROLL),
    GPS_RC_CONSTANT(WS_HSCROLL),
    GPS_RC_CONSTANT(WS_SYSMENU),
    GPS_RC_CONSTANT(WS_THICKFRAME),
    GPS_RC_CONSTANT(WS_GROUP),
    GPS_RC_CONSTANT(WS_TABSTOP),
    GPS_RC_CONSTANT(WS_MINIMIZEBOX),
    GPS_RC_CONSTANT(WS_MAXIMIZEBOX),
    {"WS_TILED", static_cast<long>(WS_OVERLAPPED)},
    {"WS_ICONIC", static_cast<long>(WS_MINIMIZE)},
    {"WS_SIZEBOX", static_cast<long>(WS_THICKFRAME)},
    {"WS_CHILDWINDOW", static_cast<long>(WS_CHILD)},
    {"WS_POPUPWINDOW", static_cast<long>(WS_POPUP | WS_BORDER | WS_SYSMENU)},
    {"WS_OVERLAPPEDWINDOW", static_cast<long>(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                                              WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)},
    GPS_RC_CONSTANT(WS_EX_DLGMODALFRAME),
    GPS_RC_CONSTANT(WS_EX_CONTEXTHELP),
    GPS_RC_CONSTANT(WS_EX_CLIENTEDGE),
    GPS_RC_CONSTANT(WS_EX_STATICEDGE),
    GPS_RC_CONSTANT(WS_EX_CONTROLPARENT),
    {"WS_EX_NOPARENTNOTIFY", 0x4},
    {"WS_EX_TOPMOST", 0x8},
    {"WS_EX_ACCEPTFILES", 0x10},
    {"WS_EX_TRANSPARENT", 0x20},
    {"WS_EX_MDICHILD", 0x40},
    {"WS_EX_TOOLWINDOW", 0x80},
    {"WS_EX_WINDOWEDGE", 0x100},
    {"WS_EX_LEFT", 0x0},
    {"WS_EX_RIGHT", 0x1000},
    {"WS_EX_LTRREADING", 0x0},
    {"WS_EX_RTLREADING", 0x2000},
    {"WS_EX_RIGHTSCROLLBAR", 0x0},
    {"WS_EX_LEFTSCROLLBAR", 0x4000},
    {"WS_EX_APPWINDOW", 0x40000},
    {"WS_EX_OVERLAPPEDWINDOW", 0x300},
    {"WS_EX_PALETTEWINDOW", 0x188},
    // Dialog styles.
    GPS_RC_CONSTANT(DS_SETFONT),
    GPS_RC_CONSTANT(DS_MODALFRAME),
    GPS_RC_CONSTANT(DS_3DLOOK),
    GPS_RC_CONSTANT(DS_FIXEDSYS),
    GPS_RC_CONSTANT(DS_CONTROL),
    GPS_RC_CONSTANT(DS_CENTER),
    GPS_RC_CONSTANT(DS_CONTEXTHELP),
    GPS_RC_CONSTANT(DS_SHELLFONT),
    {"DS_ABSALIGN", 0x1},
    {"DS_SYSMODAL", 0x2},
    {"DS_NOFAILCREATE", 0x10},
    {"DS_LOCALEDIT", 0x20},
    {"DS_NOIDLEMSG", 0x100},
    {"DS_SETFOREGROUND", 0x200},
    {"DS_CENTERMOUSE", 0x1000},
    // Static styles.
    GPS_RC_CONSTANT(SS_LEFT),
    GPS_RC_CONSTANT(SS_CENTER),
    GPS_RC_CONSTANT(SS_RIGHT),
    GPS_RC_CONSTANT(SS_TYPEMASK),
    GPS_RC_CONSTANT(SS_BLACKFRAME),
    GPS_RC_CONSTANT(SS_LEFTNOWORDWRAP),
    GPS_RC_CONSTANT(SS_NOPREFIX),
    GPS_RC_CONSTANT(SS_NOTIFY),
    GPS_RC_CONSTANT(SS_CENTERIMAGE),
    GPS_RC_CONSTANT(SS_SUNKEN),
    {"SS_ICON", 0x3},
    {"SS_BLACKRECT", 0x4},
    {"SS_GRAYRECT", 0x5},
    {"SS_WHITERECT", 0x6},
    {"SS_GRAYFRAME", 0x8},
    {"SS_WHITEFRAME", 0x9},
    {"SS_SIMPLE", 0xB},
    {"SS_OWNERDRAW", 0xD},
    {"SS_BITMAP", 0xE},
    {"SS_ETCHEDHORZ", 0x10},
    {"SS_ETCHEDVERT", 0x11},
    {"SS_ETCHEDFRAME", 0x12},
    {"SS_RIGHTJUST", 0x400},
    {"SS_REALSIZEIMAGE", 0x800},
    {"SS_ENDELLIPSIS", 0x4000},
    {"SS_PATHELLIPSIS", 0x8000},
    {"SS_WORDELLIPSIS", 0xC000},
    // Edit styles.
    GPS_RC_CONSTANT(ES_LEFT),
    GPS_RC_CONSTANT(ES_CENTER),
    GPS_RC_CONSTANT(ES_RIGHT),
    GPS_RC_CONSTANT(ES_MULTILINE),
    GPS_RC_CONSTANT(ES_UPPERCASE),
    GPS_RC_CONSTANT(ES_LOWERCASE),
    GPS_RC_CONSTANT(ES_PASSWORD),
    GPS_RC_CONSTANT(ES_AUTOVSCROLL),
    GPS_RC_CONSTANT(ES_AUTOHSCROLL),
    GPS_RC_CONSTANT(ES_NOHIDESEL),
    GPS_RC_CONSTANT(ES_READONLY),
    GPS_RC_CONSTANT(ES_WANTRETURN),
    GPS_RC_CONSTANT(ES_NUMBER),
    {"ES_OEMCONVERT", 0x400},
    // Button styles.
    GPS_RC_CONSTANT(BS_PUSHBUTTON),
    GPS_RC_CONSTANT(BS_DEFPUSHBUTTON),
    GPS_RC_CONSTANT(BS_CHECKBOX),
    GPS_RC_CONSTANT(BS_AUTOCHECKBOX),
    GPS_RC_CONSTANT(BS_RADIOBUTTON),
    GPS_RC_CONSTANT(BS_3STATE),
    GPS_RC_CONSTANT(BS_AUTO3STATE),
    GPS_RC_CONSTANT(BS_GROUPBOX),
    GPS_RC_CONSTANT(BS_AUTORADIOBUTTON),
    GPS_RC_CONSTANT(BS_TYPEMASK),
    GPS_RC_CONSTANT(BS_LEFTTEXT),
    GPS_RC_CONSTANT(BS_LEFT),
    GPS_RC_CONSTANT(BS_RIGHT),
    GPS_RC_CONSTANT(BS_CENTER),
    GPS_RC_CONSTANT(BS_TOP),
    GPS_RC_CONSTANT(BS_BOTTOM),
    GPS_RC_CONSTANT(BS_VCENTER),
    GPS_RC_CONSTANT(BS_MULTILINE),
    GPS_RC_CONSTANT(BS_NOTIFY),
    GPS_RC_CONSTANT(BS_FLAT),
    {"BS_USERBUTTON", 0x8},
    {"BS_OWNERDRAW", 0xB},
    {"BS_RIGHTBUTTON", static_cast<long>(BS_LEFTTEXT)},
    {"BS_ICON", 0x40},
    {"BS_BITMAP", 0x80},
    {"BS_PUSHLIKE", 0x1000},
    // Combo box styles.
    GPS_RC_CONSTANT(CBS_SIMPLE),
    GPS_RC_CONSTANT(CBS_DROPDOWN),
    GPS_RC_CONSTANT(CBS_DROPDOWNLIST),
    GPS_RC_CONSTANT(CBS_OWNERDRAWFIXED),
    GPS_RC_CONSTANT(CBS_AUTOHSCROLL),
    GPS_RC_CONSTANT(CBS_SORT),
    GPS_RC_CONSTANT(CBS_HASSTRINGS),
    GPS_RC_CONSTANT(CBS_NOINTEGRALHEIGHT),
    GPS_RC_CONSTANT(CBS_DISABLENOSCROLL),
    {"CBS_OWNERDRAWVARIABLE", 0x20},
    {"CBS_OEMCONVERT", 0x80},
    {"CBS_UPPERCASE", 0x2000},
    {"CBS_LOWERCASE", 0x4000},
    // List box styles.
    GPS_RC_CONSTANT(LBS_NOTIFY),
    GPS_RC_CONSTANT(LBS_SORT),
    GPS_RC_CONSTANT(LBS_NOREDRAW),
    GPS_RC_CONSTANT(LBS_MULTIPLESEL),
    GPS_RC_CONSTANT(LBS_HASSTRINGS),
    GPS_RC_CONSTANT(LBS_USETABSTOPS),
    GPS_RC_CONSTANT(LBS_NOINTEGRALHEIGHT),
    GPS_RC_CONSTANT(LBS_MULTICOLUMN),
    GPS_RC_CONSTANT(LBS_WANTKEYBOARDINPUT),
    GPS_RC_CONSTANT(LBS_EXTENDEDSEL),
    GPS_RC_CONSTANT(LBS_DISABLENOSCROLL),
    GPS_RC_CONSTANT(LBS_STANDARD),
    {"LBS_OWNERDRAWFIXED", 0x10},
    {"LBS_OWNERDRAWVARIABLE", 0x20},
    {"LBS_NODATA", 0x2000},
    {"LBS_NOSEL", 0x4000},
    // List view styles.
    GPS_RC_CONSTANT(LVS_ICON),
    GPS_RC_CONSTANT(LVS_REPORT),
    GPS_RC_CONSTANT(LVS_SMALLICON),
    GPS_RC_CONSTANT(LVS_LIST),
    GPS_RC_CONSTANT(LVS_TYPEMASK),
    GPS_RC_CONSTANT(LVS_SINGLESEL),
    GPS_RC_CONSTANT(LVS_SHOWSELALWAYS),
    GPS_RC_CONSTANT(LVS_SORTASCENDING),
    GPS_RC_CONSTANT(LVS_SORTDESCENDING),
    GPS_RC_CONSTANT(LVS_NOLABELWRAP),
    GPS_RC_CONSTANT(LVS_AUTOARRANGE),
    GPS_RC_CONSTANT(LVS_EDITLABELS),
    GPS_RC_CONSTANT(LVS_NOSCROLL),
    GPS_RC_CONSTANT(LVS_NOCOLUMNHEADER),
    GPS_RC_CONSTANT(LVS_NOSORTHEADER),
    {"LVS_SHAREIMAGELISTS", 0x40},
    {"LVS_ALIGNTOP", 0x0},
    {"LVS_OWNERDRAWFIXED", 0x400},
    {"LVS_ALIGNLEFT", 0x800},
    {"LVS_OWNERDATA", 0x1000},
    // Scroll bar, track bar, tab control and up-down styles.
    {"SBS_HORZ", 0x0},
    {"SBS_VERT", 0x1},
    {"TBS_AUTOTICKS", 0x1},
    {"TBS_VERT", 0x2},
    {"TBS_HORZ", 0x0},
    {"TBS_TOP", 0x4},
    {"TBS_BOTTOM", 0x0},
    {"TBS_LEFT", 0x4},
    {"TBS_RIGHT", 0x0},
    {"TBS_BOTH", 0x8},
    {"TBS_NOTICKS", 0x10},
    {"TBS_ENABLESELRANGE", 0x20},
    {"TBS_FIXEDLENGTH", 0x40},
    {"TBS_NOTHUMB", 0x80},
    {"TBS_TOOLTIPS", 0x100},
    {"TCS_SCROLLOPPOSITE", 0x1},
    {"TCS_BOTTOM", 0x2},
    {"TCS_RIGHT", 0x2},
    {"TCS_MULTISELECT", 0x4},
    {"TCS_FLATBUTTONS", 0x8},
    {"TCS_FORCEICONLEFT", 0x10},
    {"TCS_FORCELABELLEFT", 0x20},
    {"TCS_HOTTRACK", 0x40},
    {"TCS_VERTICAL", 0x80},
    {"TCS_TABS", 0x0},
    {"TCS_BUTTONS", 0x100},
    {"TCS_SINGLELINE", 0x0},
    {"TCS_MULTILINE", 0x200},
    {"TCS_RIGHTJUSTIFY", 0x0},
    {"TCS_FIXEDWIDTH", 0x400},
    {"TCS_RAGGEDRIGHT", 0x800},
    {"TCS_FOCUSONBUTTONDOWN", 0x1000},
    {"TCS_OWNERDRAWFIXED", 0x2000},
    {"TCS_TOOLTIPS", 0x4000},
    {"TCS_FOCUSNEVER", 0x8000},
    {"UDS_WRAP", 0x1},
    {"UDS_SETBUDDYINT", 0x2},
    {"UDS_ALIGNRIGHT", 0x4},
    {"UDS_ALIGNLEFT", 0x8},
    {"UDS_AUTOBUDDY", 0x10},
    {"UDS_ARROWKEYS", 0x20},
    {"UDS_HORZ", 0x40},
    {"UDS_NOTHOUSANDS", 0x80},
    // Languages of LANGUAGE statements.
    {"LANG_NEUTRAL", 0x00},
    {"LANG_ENGLISH", 0x09},
    {"LANG_ITALIAN", 0x10},
    {"SUBLANG_NEUTRAL", 0x00},
    {"SUBLANG_DEFAULT", 0x01},
    {"SUBLANG_SYS_DEFAULT", 0x02},
    {"SUBLANG_ENGLISH_US", 0x01},
    {"SUBLANG_ENGLISH_UK", 0x02},
    {"SUBLANG_ITALIAN", 0x01},
    {"SUBLANG_ITALIAN_SWISS", 0x02},
};

#undef GPS_RC_CONSTANT

// Headers of the original framework whose names the parser knows (knownConstant); an
// #include of one of them is skipped.
const std::set<std::string> kSystemHeaders = {
    "windows.h", "winresrc.h", "winres.h", "afxres.h", "commctrl.h", "winuser.h",
    "winnt.h",   "windef.h",   "winver.h", "dlgs.h",   "richedit.h", "prsht.h",
};

// Resource kinds that are read over. These may have parameters or option statements between
// the type and the BEGIN of their body; every other kind has a file name or a body right away.
const std::set<std::string> kBlockTypes = {
    "MENU",   "MENUEX",     "ACCELERATORS",      "VERSIONINFO", "TOOLBAR",
    "RCDATA", "DESIGNINFO", "AFX_DIALOG_LAYOUT", "TEXTINCLUDE",
};

const std::set<std::string> kMemoryOptions = {
    "PRELOAD", "LOADONCALL", "FIXED",  "MOVEABLE",  "DISCARDABLE",
    "PURE",    "IMPURE",     "SHARED", "NONSHARED",
};

constexpr int kMaxIncludeDepth = 32;
constexpr int kMaxExpressionDepth = 200;
constexpr std::size_t kMaxMacroDepth = 64;
// Macro expansion has one budget for the whole script, counted in steps (a token of a macro
// body copied or expanded), however many uses and evaluations the steps come from: a fixed
// allowance plus so many per byte of text read (the script and its includes). A real script
// uses a small part of it; a script whose macros multiply (each defined as two of the previous
// one) is refused once it runs out, instead of expanding for minutes.
constexpr std::size_t kExpansionStepsBase = 250000;
constexpr std::size_t kExpansionStepsPerByte = 1;
// And one use of a macro may produce at most this many tokens, which bounds memory.
constexpr std::size_t kMaxExpansionTokens = 1000000;
constexpr int kDlgInitResourceType = 240;
constexpr unsigned kComboAddString = 0x403;
constexpr unsigned kListAddString = 0x180;

// ---- Tokens ------------------------------------------------------------------------------------

enum class TokenKind { End, Ident, Number, String, Punct };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;       ///< name, punctuation, decoded string bytes, or a number's spelling
    std::int64_t value = 0; ///< numbers
    bool isLong = false;    ///< number with an L suffix
    int file = 0;           ///< index of the source file
    int line = 0;
};

struct ScriptError {
    int file;
    int line;
    std::string message;
};

[[noreturn]] void raise(int file, int line, std::string message) {
    throw ScriptError{file, line, std::move(message)};
}

[[noreturn]] void raise(const Token& at, std::string message) {
    raise(at.file, at.line, std::move(message));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isIdentChar(char c) {
    return isIdentStart(c) || isDigit(c);
}
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isPunct(const Token& t, std::string_view p) {
    return t.kind == TokenKind::Punct && t.text == p;
}
bool isKeyword(const Token& t, std::string_view k) {
    return t.kind == TokenKind::Ident && t.text == k;
}
bool isBegin(const Token& t) {
    return isKeyword(t, "BEGIN") || isPunct(t, "{");
}
bool isEnd(const Token& t) {
    return isKeyword(t, "END") || isPunct(t, "}");
}

std::string describe(const Token& t) {
    switch (t.kind) {
    case TokenKind::End:
        return "end of file";
    case TokenKind::String:
        return "string \"" + (t.text.size() > 24 ? t.text.substr(0, 24) + "..." : t.text) + "\"";
    default:
        return "'" + t.text + "'";
    }
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// ---- Lexer -------------------------------------------------------------------------------------

class Lexer {
public:
    Lexer(std::string_view text, int file, int line, bool atLineStart)
        : m_text(text), m_file(file), m_line(line), m_lineStart(atLineStart) {}

    int line() const { return m_line; }

    /// The next token; `directive` is set for a '#' that opens a line (the '#' is consumed).
    Token next(bool& directive) {
        directive = false;
        skipBlanks();
        Token t;
        t.file = m_file;
        t.line = m_line;
        if (m_pos >= m_text.size()) return t;
        const char c = m_text[m_pos];
        if (c == '#' && m_lineStart) {
            ++m_pos;
            m_lineStart = false;
            directive = true;
            t.kind = TokenKind::Punct;
            t.text = "#";
            return t;
        }
        m_lineStart = false;
        if (c == '"') {
            ++m_pos;
            readString(t, false);
        } else if (c == 'L' && at(1) == '"') {
            m_pos += 2;
            readString(t, true);
        } else if (isDigit(c)) {
            readNumber(t);
        } else if (isIdentStart(c)) {
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && isIdentChar(m_text[m_pos]))
                ++m_pos;
            t.kind = TokenKind::Ident;
            t.text = std::string(m_text.substr(start, m_pos - start));
        } else {
            readPunct(t);
        }
        return t;
    }

    /// Skips the text of an inactive conditional group. True at a '#' opening a line (consumed),
    /// false at the end of the text.
    bool skipToDirective() {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '\n') {
                newLine();
            } else if (isBlank(c)) {
                ++m_pos;
            } else if (c == '/' && at(1) == '/') {
                skipLineComment();
            } else if (c == '/' && at(1) == '*') {
                skipBlockComment();
            } else if (c == '\\' && continuation()) {
            } else if (c == '#' && m_lineStart) {
                ++m_pos;
                m_lineStart = false;
                return true;
            } else {
                m_lineStart = false;
                if (c == '"' || c == '\'')
                    skipQuoted(nullptr);
                else
                    ++m_pos;
            }
        }
        return false;
    }

    /// The rest of a directive's logical line, continuations joined and comments blanked. The
    /// line end itself is left for the next call.
    std::string readDirectiveLine() {
        std::string out;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '\n') break;
            if (c == '\\' && continuation()) {
                out += ' ';
            } else if (c == '/' && at(1) == '/') {
                skipLineComment();
            } else if (c == '/' && at(1) == '*') {
                skipBlockComment();
                out += ' ';
            } else if (c == '"' || c == '\'') {
                skipQuoted(&out);
            } else {
                out += c;
                ++m_pos;
            }
        }
        return out;
    }

private:
    char at(std::size_t ahead) const {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : '\0';
    }

    void newLine() {
        ++m_pos;
        ++m_line;
        m_lineStart = true;
    }

    bool continuation() {
        if (at(1) == '\n') {
            m_pos += 2;
        } else if (at(1) == '\r' && at(2) == '\n') {
            m_pos += 3;
        } else {
            return false;
        }
        ++m_line;
        return true;
    }

    void skipLineComment() {
        while (m_pos < m_text.size() && m_text[m_pos] != '\n')
            ++m_pos;
    }

    void skipBlockComment() {
        const int startLine = m_line;
        m_pos += 2;
        while (true) {
            if (m_pos >= m_text.size()) raise(m_file, startLine, "unterminated comment");
            if (m_text[m_pos] == '*' && at(1) == '/') {
                m_pos += 2;
                return;
            }
            if (m_text[m_pos] == '\n') ++m_line;
            ++m_pos;
        }
    }

    // A quoted text in skipped or directive text: no escapes decoded, stops at the line end.
    void skipQuoted(std::string* copy) {
        const char quote = m_text[m_pos];
        const std::size_t start = m_pos++;
        while (m_pos < m_text.size() && m_text[m_pos] != '\n') {
            const char c = m_text[m_pos++];
            if (c == '\\' && m_pos < m_text.size() && m_text[m_pos] != '\n')
                ++m_pos;
            else if (c == quote)
                break;
        }
        if (copy) copy->append(m_text.substr(start, m_pos - start));
    }

    void skipBlanks() {
        if (m_pos == 0 && m_text.substr(0, 3) == "\xEF\xBB\xBF") m_pos = 3;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '\n')
                newLine();
            else if (isBlank(c))
                ++m_pos;
            else if (c == '\\' && continuation())
                continue;
            else if (c == '/' && at(1) == '/')
                skipLineComment();
            else if (c == '/' && at(1) == '*')
                skipBlockComment();
            else
                break;
        }
    }

    void readString(Token& t, bool wide) {
        t.kind = TokenKind::String;
        const int startLine = m_line;
        std::string out;
        auto unterminated = [&] { raise(m_file, startLine, "unterminated string"); };
        while (true) {
            if (m_pos >= m_text.size() || m_text[m_pos] == '\n') unterminated();
            const char c = m_text[m_pos++];
            if (c == '"') {
                if (at(0) != '"') break;
                out += '"'; // "" stands for one quote
                ++m_pos;
                continue;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size() || m_text[m_pos] == '\n') unterminated();
            const char e = m_text[m_pos++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'a': // the resource compiler stores 0x08 (right alignment in menus), not BEL
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'v':
                out += '\v';
                break;
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case '\'':
                out += '\'';
                break;
            case '?':
                out += '?';
                break;
            case 'x':
            case 'X': {
                std::uint32_t v = 0;
                int digits = 0;
                while (digits < (wide ? 4 : 2) && hexValue(at(0)) >= 0) {
                    v = v * 16 + static_cast<std::uint32_t>(hexValue(m_text[m_pos++]));
                    ++digits;
                }
                if (digits == 0) raise(m_file, m_line, "\\x without hexadecimal digits in string");
                appendCode(out, v, wide);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    std::uint32_t v = static_cast<std::uint32_t>(e - '0');
                    for (int i = 0; i < 2 && at(0) >= '0' && at(0) <= '7'; ++i)
                        v = v * 8 + static_cast<std::uint32_t>(m_text[m_pos++] - '0');
                    appendCode(out, v, wide);
                } else {
                    out += '\\'; // unknown escapes stand for themselves
                    out += e;
                }
            }
        }
        t.text = std::move(out);
    }

    // Escaped values are bytes of the UTF-8 text in narrow strings, characters in wide ones.
    static void appendCode(std::string& out, std::uint32_t v, bool wide) {
        if (wide)
            appendUtf8(out, v);
        else
            out += static_cast<char>(v & 0xFF);
    }

    void readNumber(Token& t) {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && isIdentChar(m_text[m_pos]))
            ++m_pos;
        const std::string s(m_text.substr(start, m_pos - start));
        t.kind = TokenKind::Number;
        t.text = s;
        std::size_t i = 0;
        unsigned base = 10;
        if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            base = 16;
            i = 2;
        }
        std::uint64_t v = 0;
        std::size_t digits = 0;
        for (; i < s.size(); ++i) {
            const int d = hexValue(s[i]);
            if (d < 0 || static_cast<unsigned>(d) >= base) break;
            v = v * base + static_cast<unsigned>(d);
            ++digits;
            if (v > 0xFFFFFFFFu) raise(m_file, m_line, "number out of range: " + s);
        }
        if (digits == 0) raise(m_file, m_line, "bad number '" + s + "'");
        for (; i < s.size(); ++i) {
            if (s[i] == 'L' || s[i] == 'l')
                t.isLong = true;
            else if (s[i] != 'U' && s[i] != 'u')
                raise(m_file, m_line, "bad number '" + s + "'");
        }
        t.value = static_cast<std::int64_t>(v);
    }

    void readPunct(Token& t) {
        static const char* const twoChars[] = {"||", "&&", "==", "!=", "<=", ">=", "<<", ">>"};
        t.kind = TokenKind::Punct;
        for (const char* op : twoChars) {
            if (m_text.substr(m_pos, 2) == op) {
                t.text = op;
                m_pos += 2;
                return;
            }
        }
        const char c = m_text[m_pos];
        if (std::string_view(",|+-~&(){}!=<>*/%^?:").find(c) == std::string_view::npos) {
            const unsigned char u = static_cast<unsigned char>(c);
            static const char hex[] = "0123456789ABCDEF";
            const std::string shown = u >= 0x20 && u < 0x7F
                                          ? std::string("'") + c + "'"
                                          : std::string("0x") + hex[u >> 4] + hex[u & 0xF];
            raise(m_file, m_line, "unexpected character " + shown);
        }
        t.text = std::string(1, c);
        ++m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_file;
    int m_line;
    bool m_lineStart;
};

/// Tokens of one directive line.
std::vector<Token> tokenize(const std::string& text, int file, int line) {
    Lexer lexer(text, file, line, false);
    std::vector<Token> out;
    bool directive = false;
    for (Token t = lexer.next(directive); t.kind != TokenKind::End; t = lexer.next(directive)) {
        t.line = line;
        out.push_back(std::move(t));
    }
    return out;
}

// ---- Expressions -------------------------------------------------------------------------------

class TokenCursor {
public:
    virtual ~TokenCursor() = default;
    virtual const Token& peek() = 0;
    virtual Token take() = 0;
};

class VectorCursor : public TokenCursor {
public:
    VectorCursor(const std::vector<Token>& tokens, int file, int line) : m_tokens(tokens) {
        m_end.file = file;
        m_end.line = line;
    }
    const Token& peek() override { return m_pos < m_tokens.size() ? m_tokens[m_pos] : m_end; }
    Token take() override { return m_pos < m_tokens.size() ? m_tokens[m_pos++] : m_end; }

private:
    const std::vector<Token>& m_tokens;
    std::size_t m_pos = 0;
    Token m_end;
};

struct Value {
    std::int64_t value = 0;
    bool isLong = false;
};

/// Integer expressions with the C operators a resource script uses. In a condition (#if) the
/// logical and comparison operators are known too and an unknown name counts 0.
class ExprParser {
public:
    ExprParser(TokenCursor& cursor, bool condition) : m_cursor(cursor), m_condition(condition) {}

    Value expression() { return m_condition ? logicalOr() : bitOr(); }

    /// A style: items joined by '|' and OR-ed into `acc`, `NOT item` clearing bits instead,
    /// from left to right.
    std::int64_t style(std::int64_t acc) {
        while (true) {
            if (isKeyword(m_cursor.peek(), "NOT")) {
                m_cursor.take();
                acc &= ~unary().value;
            } else {
                acc |= bitXor().value;
            }
            if (!isPunct(m_cursor.peek(), "|")) return acc;
            m_cursor.take();
        }
    }

private:
    using U = std::uint64_t;

    static Value make(std::int64_t v, const Value& a, const Value& b) {
        return {v, a.isLong || b.isLong};
    }
    static std::int64_t wrap(U v) { return static_cast<std::int64_t>(v); }

    bool accept(std::string_view op) {
        if (!isPunct(m_cursor.peek(), op)) return false;
        m_cursor.take();
        return true;
    }

    Value logicalOr() {
        Value a = logicalAnd();
        while (accept("||")) {
            const Value b = logicalAnd();
            a = make((a.value || b.value) ? 1 : 0, a, b);
        }
        return a;
    }
    Value logicalAnd() {
        Value a = bitOr();
        while (accept("&&")) {
            const Value b = bitOr();
            a = make((a.value && b.value) ? 1 : 0, a, b);
        }
        return a;
    }
    Value bitOr() {
        Value a = bitXor();
        while (accept("|")) {
            const Value b = bitXor();
            a = make(a.value | b.value, a, b);
        }
        return a;
    }
    Value bitXor() {
        Value a = bitAnd();
        while (accept("^")) {
            const Value b = bitAnd();
            a = make(a.value ^ b.value, a, b);
        }
        return a;
    }
    Value bitAnd() {
        Value a = equality();
        while (accept("&")) {
            const Value b = equality();
            a = make(a.value & b.value, a, b);
        }
        return a;
    }
    Value equality() {
        Value a = relational();
        while (m_condition) {
            if (accept("==")) {
                const Value b = relational();
                a = make(a.value == b.value, a, b);
            } else if (accept("!=")) {
                const Value b = relational();
                a = make(a.value != b.value, a, b);
            } else {
                break;
            }
        }
        return a;
    }
    Value relational() {
        Value a = shift();
        while (m_condition) {
            if (accept("<")) {
                const Value b = shift();
                a = make(a.value < b.value, a, b);
            } else if (accept(">")) {
                const Value b = shift();
                a = make(a.value > b.value, a, b);
            } else if (accept("<=")) {
                const Value b = shift();
                a = make(a.value <= b.value, a, b);
            } else if (accept(">=")) {
                const Value b = shift();
                a = make(a.value >= b.value, a, b);
            } else {
                break;
            }
        }
        return a;
    }
    Value shift() {
        Value a = additive();
        while (true) {
            if (accept("<<")) {
                const Value b = additive();
                a = make(wrap(U(a.value) << (U(b.value) & 63)), a, b);
            } else if (accept(">>")) {
                const Value b = additive();
                a = make(a.value >> (U(b.value) & 63), a, b);
            } else {
                return a;
            }
        }
    }
    Value additive() {
        Value a = multiplicative();
        while (true) {
            if (accept("+")) {
                const Value b = multiplicative();
                a = make(wrap(U(a.value) + U(b.value)), a, b);
            } else if (accept("-")) {
                const Value b = multiplicative();
                a = make(wrap(U(a.value) - U(b.value)), a, b);
            } else {
                return a;
            }
        }
    }
    Value multiplicative() {
        Value a = unary();
        while (true) {
            const Token op = m_cursor.peek();
            if (accept("*")) {
                const Value b = unary();
                a = make(wrap(U(a.value) * U(b.value)), a, b);
            } else if (accept("/") || accept("%")) {
                const Value b = unary();
                if (b.value == 0) raise(op, "division by zero");
                if (b.value == -1)
                    a = make(op.text == "/" ? wrap(U(0) - U(a.value)) : 0, a, b);
                else
                    a = make(op.text == "/" ? a.value / b.value : a.value % b.value, a, b);
            } else {
                return a;
            }
        }
    }
    Value unary() {
        const Token t = m_cursor.peek();
        if (!isPunct(t, "-") && !isPunct(t, "+") && !isPunct(t, "~") &&
            !(m_condition && isPunct(t, "!")))
            return primary();
        Nesting nesting(*this, t);
        m_cursor.take();
        Value v = unary();
        if (t.text == "-")
            v.value = wrap(U(0) - U(v.value));
        else if (t.text == "~")
            v.value = ~v.value;
        else if (t.text == "!")
            v.value = v.value == 0;
        return v;
    }
    Value primary() {
        const Token t = m_cursor.take();
        if (t.kind == TokenKind::Number) return {t.value, t.isLong};
        if (isPunct(t, "(")) {
            Nesting nesting(*this, t);
            const Value v = expression();
            const Token close = m_cursor.take();
            if (!isPunct(close, ")")) raise(close, "expected ')' before " + describe(close));
            return v;
        }
        if (t.kind == TokenKind::Ident) {
            if (auto known = knownConstant(t.text)) return {*known, false};
            if (m_condition) return {0, false};
            raise(t, "unknown name " + t.text);
        }
        raise(t, "expected a number, found " + describe(t));
    }

    struct Nesting {
        Nesting(ExprParser& p, const Token& at) : parser(p) {
            if (++parser.m_depth > kMaxExpressionDepth) raise(at, "expression nested too deeply");
        }
        ~Nesting() { --parser.m_depth; }
        ExprParser& parser;
    };

    TokenCursor& m_cursor;
    bool m_condition;
    int m_depth = 0;
};

// ---- Preprocessor ------------------------------------------------------------------------------

struct Macro {
    std::vector<Token> body;
    int file = 0;
    int line = 0;
};

struct Conditional {
    bool parentActive; ///< the enclosing group is active
    bool active;       ///< the current branch is active
    bool taken;        ///< some branch was (or may no longer be) taken
    bool elseSeen;
    int line;
};

struct Source {
    Source(std::string t, int f) : text(std::move(t)), file(f), lexer(text, f, 1, true) {}
    std::string text;
    int file;
    Lexer lexer;
    std::vector<Conditional> conditionals;
};

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool isSystemHeader(const std::string& name) {
    std::string base = name.substr(name.find_last_of("/\\") + 1);
    std::transform(base.begin(), base.end(), base.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return kSystemHeaders.count(base) != 0;
}

class Preprocessor {
public:
    explicit Preprocessor(const IncludeResolver& resolver) : m_resolver(resolver) {}

    void open(const std::string& name, std::string text) {
        m_stepBudget += kExpansionStepsPerByte * text.size();
        m_fileNames.push_back(name);
        m_sources.push_back(std::make_unique<Source>(std::move(text), int(m_fileNames.size()) - 1));
    }

    const std::string& fileName(int file) const {
        static const std::string none;
        return file >= 0 && std::size_t(file) < m_fileNames.size() ? m_fileNames[file] : none;
    }

    /// The next token after directives and macro expansion; End at the end of the script.
    Token next() {
        while (true) {
            if (!m_pending.empty()) {
                Token t = std::move(m_pending.front());
                m_pending.pop_front();
                return t;
            }
            if (m_sources.empty()) {
                Token end;
                end.line = m_endLine;
                return end;
            }
            Source& src = *m_sources.back();
            const bool active = src.conditionals.empty() || src.conditionals.back().active;
            if (!active) {
                if (!src.lexer.skipToDirective())
                    raise(src.file, src.conditionals.back().line, "#if without #endif");
                directive(src);
                continue;
            }
            bool isDirective = false;
            Token t = src.lexer.next(isDirective);
            if (isDirective) {
                directive(src);
                continue;
            }
            if (t.kind == TokenKind::End) {
                if (!src.conditionals.empty())
                    raise(src.file, src.conditionals.back().line, "#if without #endif");
                if (m_sources.size() == 1) m_endLine = src.lexer.line();
                m_sources.pop_back();
                continue;
            }
            if (t.kind == TokenKind::Ident) {
                auto it = m_macros.find(t.text);
                if (it != m_macros.end()) {
                    std::vector<Token> out;
                    expand(t, out);
                    m_pending.insert(m_pending.end(), std::make_move_iterator(out.begin()),
                                     std::make_move_iterator(out.end()));
                    continue;
                }
            }
            return t;
        }
    }

    /// Every macro whose body is a number or an expression of numbers.
    std::map<std::string, long> numericMacros() {
        std::map<std::string, long> out;
        for (const auto& [name, macro] : m_macros) {
            if (macro.body.empty()) continue;
            try {
                Token use;
                use.kind = TokenKind::Ident;
                use.text = name;
                use.file = macro.file;
                use.line = macro.line;
                std::vector<Token> tokens;
                expand(use, tokens);
                VectorCursor cursor(tokens, macro.file, macro.line);
                ExprParser parser(cursor, false);
                const Value v = parser.expression();
                if (cursor.peek().kind == TokenKind::End) out[name] = static_cast<long>(v.value);
            } catch (const ScriptError&) {
                // not a numeric macro; but a spent budget refuses the script
                if (m_steps > m_stepBudget) throw;
            }
        }
        return out;
    }

private:
    void expand(const Token& use, std::vector<Token>& out) {
        std::vector<std::string> active;
        const std::size_t start = out.size();
        expandMacro(use, m_macros.at(use.text), active, out, start);
    }

    void expandMacro(const Token& use, const Macro& macro, std::vector<std::string>& active,
                     std::vector<Token>& out, std::size_t start) {
        if (active.size() >= kMaxMacroDepth) raise(use, "macros nested too deeply in " + use.text);
        active.push_back(use.text);
        for (const Token& b : macro.body) {
            if (++m_steps > m_stepBudget)
                raise(use, "macro expansion exceeds what a script of this size may need (at " +
                               use.text + ")");
            if (out.size() - start >= kMaxExpansionTokens)
                raise(use, "expansion of " + use.text + " is too large");
            Token t = b;
            t.file = use.file;
            t.line = use.line;
            if (t.kind == TokenKind::Ident &&
                std::find(active.begin(), active.end(), t.text) == active.end()) {
                auto it = m_macros.find(t.text);
                if (it != m_macros.end()) {
                    expandMacro(t, it->second, active, out, start);
                    continue;
                }
            }
            out.push_back(std::move(t));
        }
        active.pop_back();
    }

    std::vector<Token> expandAll(const std::vector<Token>& tokens) {
        std::vector<Token> out;
        for (const Token& t : tokens) {
            if (t.kind == TokenKind::Ident && m_macros.count(t.text))
                expand(t, out);
            else
                out.push_back(t);
        }
        return out;
    }

    void directive(Source& src) {
        const int file = src.file;
        const int line = src.lexer.line();
        const std::string raw = src.lexer.readDirectiveLine();
        std::size_t i = 0;
        while (i < raw.size() && isBlank(raw[i]))
            ++i;
        const std::size_t start = i;
        while (i < raw.size() && isIdentChar(raw[i]))
            ++i;
        const std::string name = raw.substr(start, i - start);
        const std::string rest = raw.substr(i);
        auto& conds = src.conditionals;
        const bool active = conds.empty() || conds.back().active;

        if (name == "if" || name == "ifdef" || name == "ifndef") {
            if (!active) {
                conds.push_back({false, false, true, false, line});
                return;
            }
            const bool v = name == "if" ? condition(rest, file, line)
                                        : isDefined(rest, file, line, name) == (name == "ifdef");
            conds.push_back({true, v, v, false, line});
        } else if (name == "elif") {
            if (conds.empty()) raise(file, line, "#elif without #if");
            Conditional& c = conds.back();
            if (c.elseSeen) raise(file, line, "#elif after #else");
            if (!c.parentActive || c.taken) {
                c.active = false;
            } else {
                c.active = condition(rest, file, line);
                c.taken = c.active;
            }
        } else if (name == "else") {
            if (conds.empty()) raise(file, line, "#else without #if");
            Conditional& c = conds.back();
            if (c.elseSeen) raise(file, line, "#else after #else");
            c.elseSeen = true;
            c.active = c.parentActive && !c.taken;
            c.taken = true;
        } else if (name == "endif") {
            if (conds.empty()) raise(file, line, "#endif without #if");
            conds.pop_back();
        } else if (!active || name.empty() || name == "line" || name == "ident" ||
                   name == "warning") {
            // other directives of skipped groups, and these, do nothing
        } else if (name == "define") {
            define(rest, file, line);
        } else if (name == "undef") {
            const std::vector<Token> t = tokenize(rest, file, line);
            if (t.size() != 1 || t[0].kind != TokenKind::Ident)
                raise(file, line, "#undef needs one name");
            m_macros.erase(t[0].text);
        } else if (name == "include") {
            include(rest, file, line);
        } else if (name == "pragma") {
            pragma(rest, file, line);
        } else if (name == "error") {
            raise(file, line, "#error" + (trim(rest).empty() ? "" : " " + trim(rest)));
        } else {
            raise(file, line, "unknown directive #" + name);
        }
    }

    bool isDefined(const std::string& rest, int file, int line, const std::string& directive) {
        const std::vector<Token> t = tokenize(rest, file, line);
        if (t.size() != 1 || t[0].kind != TokenKind::Ident)
            raise(file, line, "#" + directive + " needs one name");
        return m_macros.count(t[0].text) != 0;
    }

    bool condition(const std::string& rest, int file, int line) {
        const std::vector<Token> tokens = tokenize(rest, file, line);
        if (tokens.empty()) raise(file, line, "#if without a condition");
        std::vector<Token> resolved;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (!isKeyword(tokens[i], "defined")) {
                resolved.push_back(tokens[i]);
                continue;
            }
            std::size_t j = i + 1;
            const bool paren = j < tokens.size() && isPunct(tokens[j], "(");
            if (paren) ++j;
            if (j >= tokens.size() || tokens[j].kind != TokenKind::Ident)
                raise(file, line, "defined needs a name");
            Token n = tokens[j];
            n.kind = TokenKind::Number;
            n.value = m_macros.count(tokens[j].text) ? 1 : 0;
            if (paren && (++j >= tokens.size() || !isPunct(tokens[j], ")")))
                raise(file, line, "missing ')' after defined");
            resolved.push_back(n);
            i = j;
        }
        const std::vector<Token> expanded = expandAll(resolved);
        VectorCursor cursor(expanded, file, line);
        ExprParser parser(cursor, true);
        const Value v = parser.expression();
        if (cursor.peek().kind != TokenKind::End)
            raise(file, line, "unexpected " + describe(cursor.peek()) + " in #if");
        return v.value != 0;
    }

    void define(const std::string& rest, int file, int line) {
        std::size_t i = 0;
        while (i < rest.size() && isBlank(rest[i]))
            ++i;
        const std::size_t start = i;
        if (i < rest.size() && isIdentStart(rest[i]))
            while (i < rest.size() && isIdentChar(rest[i]))
                ++i;
        if (i == start) raise(file, line, "#define needs a name");
        if (i < rest.size() && rest[i] == '(')
            raise(file, line, "macros with parameters are not supported");
        Macro macro;
        macro.body = tokenize(rest.substr(i), file, line);
        macro.file = file;
        macro.line = line;
        m_macros[rest.substr(start, i - start)] = std::move(macro);
    }

    void include(const std::string& rest, int file, int line) {
        const std::string s = trim(rest);
        const char close = s.empty() ? '\0' : s[0] == '"' ? '"' : s[0] == '<' ? '>' : '\0';
        const std::size_t end = close ? s.find(close, 1) : std::string::npos;
        if (end == std::string::npos || end == 1)
            raise(file, line, "#include needs \"file\" or <file>");
        const std::string name = s.substr(1, end - 1);
        if (isSystemHeader(name)) return;
        if (m_sources.size() >= std::size_t(kMaxIncludeDepth))
            raise(file, line, "#include nested too deeply");
        std::optional<std::string> text;
        if (m_resolver) {
            try {
                text = m_resolver(name);
            } catch (const std::exception& e) {
                raise(file, line, "cannot read include file \"" + name + "\": " + e.what());
            } catch (...) {
                raise(file, line, "cannot read include file \"" + name + "\"");
            }
        }
        if (!text) {
            if (close == '"') raise(file, line, "cannot open include file \"" + name + "\"");
            return; // a header of the system that the parser does not know: nothing from it
        }
        open(name, std::move(*text));
    }

    void pragma(const std::string& rest, int file, int line) {
        std::size_t i = 0;
        while (i < rest.size() && isBlank(rest[i]))
            ++i;
        if (rest.compare(i, 9, "code_page") != 0 ||
            (i + 9 < rest.size() && isIdentChar(rest[i + 9])))
            return; // other pragmas have no meaning here
        const std::vector<Token> t = tokenize(rest.substr(i + 9), file, line);
        if (t.size() != 3 || !isPunct(t[0], "(") || !isPunct(t[2], ")"))
            raise(file, line, "#pragma code_page needs (65001)");
        if (t[1].kind != TokenKind::Number || t[1].value != 65001)
            raise(file, line,
                  "code page " + t[1].text + " is not supported: the script must be UTF-8 (65001)");
    }

    const IncludeResolver& m_resolver;
    std::vector<std::string> m_fileNames;
    std::vector<std::unique_ptr<Source>> m_sources;
    std::unordered_map<std::string, Macro> m_macros;
    std::deque<Token> m_pending;
    int m_endLine = 1;
    std::size_t m_steps = 0; ///< expansion steps so far, whole script
    std::size_t m_stepBudget = kExpansionStepsBase;
};

// ---- Statements --------------------------------------------------------------------------------

/// A control statement of fixed class. Like the resource compiler, a statement without a style
/// gets its default style, and a statement with one gets its base style combined with it (for
/// most kinds the two are equal).
struct ControlKind {
    const char* keyword;
    const char* className;
    DWORD defaultStyle;
    DWORD baseStyle;
    bool hasText;
};

constexpr DWORD kIconStyle = 0x3;      // SS_ICON
constexpr DWORD kScrollBarStyle = 0x0; // SBS_HORZ

const ControlKind kControlKinds[] = {
    {"LTEXT", "Static", SS_LEFT | WS_GROUP, SS_LEFT, true},
    {"RTEXT", "Static", SS_RIGHT | WS_GROUP, SS_RIGHT, true},
    {"CTEXT", "Static", SS_CENTER | WS_GROUP, SS_CENTER, true},
    {"ICON", "Static", kIconStyle, kIconStyle, true},
    {"EDITTEXT", "Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, ES_LEFT | WS_BORDER | WS_TABSTOP, false},
    {"COMBOBOX", "ComboBox", CBS_SIMPLE | WS_TABSTOP, 0, false},
    {"LISTBOX", "ListBox", LBS_NOTIFY | WS_BORDER, LBS_NOTIFY | WS_BORDER, false},
    {"SCROLLBAR", "ScrollBar", kScrollBarStyle, kScrollBarStyle, false},
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, BS_PUSHBUTTON | WS_TABSTOP, true},
    {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, BS_DEFPUSHBUTTON | WS_TABSTOP, true},
    {"GROUPBOX", "Button", BS_GROUPBOX, BS_GROUPBOX, true},
    {"CHECKBOX", "Button", BS_CHECKBOX | WS_TABSTOP, BS_CHECKBOX | WS_TABSTOP, true},
    {"AUTOCHECKBOX", "Button", BS_AUTOCHECKBOX | WS_TABSTOP, BS_AUTOCHECKBOX | WS_TABSTOP, true},
    {"RADIOBUTTON", "Button", BS_RADIOBUTTON | WS_TABSTOP, BS_RADIOBUTTON, true},
    {"AUTORADIOBUTTON", "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, BS_AUTORADIOBUTTON, true},
    {"STATE3", "Button", BS_3STATE | WS_TABSTOP, BS_3STATE, true},
    {"AUTO3STATE", "Button", BS_AUTO3STATE | WS_TABSTOP, BS_AUTO3STATE, true},
};

// Window classes under their usual spelling; class names are compared without case.
const char* const kClassNames[] = {
    "Button",
    "Edit",
    "Static",
    "ListBox",
    "ComboBox",
    "ScrollBar",
    "SysListView32",
    "SysTabControl32",
    "SysTreeView32",
    "msctls_trackbar32",
    "msctls_updown32",
    "msctls_progress32",
    "SysDateTimePick32",
    "SysMonthCal32",
    "SysIPAddress32",
    "SysLink",
    "RichEdit20A",
    "RichEdit20W",
};

bool equalNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::string canonicalClass(const std::string& name) {
    for (const char* known : kClassNames)
        if (equalNoCase(name, known)) return known;
    return name;
}

class ScriptParser : public TokenCursor {
public:
    ScriptParser(Preprocessor& pp, ResourceModule& module) : m_pp(pp), m_module(module) {}

    const Token& peek() override {
        if (!m_hasLook) {
            m_look = m_pp.next();
            m_hasLook = true;
        }
        return m_look;
    }

    Token take() override {
        peek();
        m_hasLook = false;
        m_lastFile = m_look.file;
        m_lastLine = m_look.line;
        m_lastKind = m_look.kind;
        return std::move(m_look);
    }

    void run() {
        while (true) {
            const Token t = peek();
            if (t.kind == TokenKind::End) return;
            if (isKeyword(t, "LANGUAGE")) {
                take();
                expr();
                comma(t, "LANGUAGE");
                expr();
            } else if (isKeyword(t, "STRINGTABLE")) {
                parseStringTable();
            } else if (isBegin(t) || isEnd(t) || t.kind == TokenKind::Punct) {
                raise(t, "unexpected " + describe(t));
            } else {
                parseResource();
            }
        }
    }

private:
    Value expr() {
        ExprParser parser(*this, false);
        return parser.expression();
    }
    int intArg() { return static_cast<int>(expr().value); }
    DWORD styleArg(DWORD initial) {
        ExprParser parser(*this, false);
        return static_cast<DWORD>(parser.style(initial));
    }

    /// A string argument; adjacent literals are refused, resource scripts do not join them.
    std::string takeString() {
        const Token t = take();
        if (t.kind != TokenKind::String) raise(t, "expected a string, found " + describe(t));
        if (peek().kind == TokenKind::String)
            raise(peek(), "adjacent strings are not joined in resource scripts");
        return t.text;
    }

    /// The comma between two arguments of `stmt`.
    void comma(const Token& stmt, const std::string& what) {
        const Token& t = peek();
        if (isPunct(t, ",")) return void(take());
        if (t.kind == TokenKind::String && m_lastKind == TokenKind::String)
            raise(t, "adjacent strings are not joined in resource scripts");
        if (t.kind == TokenKind::End || t.file != m_lastFile || t.line != m_lastLine)
            raise(stmt, "wrong number of arguments for " + what);
        raise(t, "expected ',' before " + describe(t));
    }

    bool acceptComma() {
        if (!isPunct(peek(), ",")) return false;
        take();
        return true;
    }

    void noMoreArguments(const Token& stmt, const std::string& what) {
        if (isPunct(peek(), ",")) raise(stmt, "too many arguments for " + what);
    }

    void skipMemoryOptions() {
        while (peek().kind == TokenKind::Ident && kMemoryOptions.count(peek().text))
            take();
    }

    static int resourceId(const Token& stmt, std::int64_t id) {
        if (id < 0 || id > 0xFFFF)
            raise(stmt, "resource id " + std::to_string(id) + " out of range");
        return static_cast<int>(id);
    }

    /// Skips a BEGIN ... END body, nested bodies included.
    void skipBlock() {
        const Token begin = take();
        int depth = 1;
        while (depth > 0) {
            const Token t = take();
            if (t.kind == TokenKind::End) raise(begin, "missing END for this BEGIN");
            if (isBegin(t))
                ++depth;
            else if (isEnd(t))
                --depth;
        }
    }

    void parseResource() {
        const Token stmt = peek();
        const bool named = stmt.kind == TokenKind::String ||
                           (stmt.kind == TokenKind::Ident && !knownConstant(stmt.text));
        std::int64_t id = 0;
        if (named)
            take();
        else
            id = expr().value;
        const Token type = take();
        const bool dialog = isKeyword(type, "DIALOG") || isKeyword(type, "DIALOGEX");
        const bool dlgInit = isKeyword(type, "DLGINIT") ||
                             (type.kind == TokenKind::Number && type.value == kDlgInitResourceType);
        if (dialog || dlgInit) {
            if (named)
                raise(stmt, stmt.kind == TokenKind::Ident ? "unknown name " + stmt.text
                                                          : "the id must be a number");
            if (dialog)
                parseDialog(stmt, resourceId(stmt, id), type.text == "DIALOGEX");
            else
                parseDlgInit(stmt, resourceId(stmt, id));
            return;
        }
        if (type.kind == TokenKind::End || type.kind == TokenKind::Punct || isBegin(type) ||
            isEnd(type)) {
            if (named) raise(stmt, "unknown statement " + describe(stmt));
            raise(type, "expected a resource type, found " + describe(type));
        }
        skipResource(stmt, type, named);
    }

    // Resources other than dialogs are read over: `id TYPE "file"` or `id TYPE ... BEGIN ... END`.
    void skipResource(const Token& stmt, const Token& type, bool named) {
        skipMemoryOptions();
        const Token t = peek();
        if (t.kind == TokenKind::String) {
            take();
            return;
        }
        if (isBegin(t)) return skipBlock();
        if (type.kind != TokenKind::Ident || !kBlockTypes.count(type.text)) {
            if (named && type.kind == TokenKind::String)
                raise(stmt, "unknown statement " + describe(stmt));
            raise(t, "expected a file name or BEGIN after " + describe(type) + ", found " +
                         describe(t));
        }
        while (!isBegin(peek())) {
            const Token& p = peek();
            if (p.kind == TokenKind::End || isEnd(p) || isKeyword(p, "DIALOG") ||
                isKeyword(p, "DIALOGEX") || isKeyword(p, "STRINGTABLE"))
                raise(stmt, describe(type) + " without BEGIN");
            take();
        }
        skipBlock();
    }

    void parseStringTable() {
        const Token stmt = take();
        while (!isBegin(peek())) {
            const Token t = peek();
            if (isKeyword(t, "LANGUAGE")) {
                take();
                expr();
                comma(t, "LANGUAGE");
                expr();
            } else if (isKeyword(t, "CHARACTERISTICS") || isKeyword(t, "VERSION")) {
                take();
                expr();
            } else if (t.kind == TokenKind::Ident && kMemoryOptions.count(t.text)) {
                take();
            } else if (t.kind == TokenKind::End) {
                raise(stmt, "STRINGTABLE without BEGIN");
            } else {
                raise(t, "expected BEGIN after STRINGTABLE, found " + describe(t));
            }
        }
        const Token begin = take();
        while (true) {
            const Token t = peek();
            if (isEnd(t)) {
                take();
                return;
            }
            if (t.kind == TokenKind::End) raise(begin, "missing END for this BEGIN");
            const std::int64_t id = expr().value;
            acceptComma();
            if (peek().kind != TokenKind::String)
                raise(peek().line == t.line ? peek() : t, "string " + t.text + " has no text");
            std::string text = takeString();
            if (id < 0 || id > 0xFFFF)
                raise(t, "string id " + std::to_string(id) + " out of range");
            if (!m_module.strings.emplace(static_cast<int>(id), std::move(text)).second)
                raise(t, "duplicate string id " + std::to_string(id));
        }
    }

    void parseDialog(const Token& stmt, int id, bool extended) {
        const std::string what = extended ? "DIALOGEX" : "DIALOG";
        if (m_module.dialogs.count(id)) raise(stmt, "duplicate dialog id " + std::to_string(id));
        DialogTemplate d;
        d.id = id;
        d.extended = extended;
        d.line = stmt.line;
        skipMemoryOptions();
        d.x = intArg();
        comma(stmt, what);
        d.y = intArg();
        comma(stmt, what);
        d.cx = intArg();
        comma(stmt, what);
        d.cy = intArg();
        if (extended && acceptComma()) expr(); // help id
        noMoreArguments(stmt, what);

        bool hasStyle = false, hasCaption = false, hasFont = false;
        DWORD style = 0;
        while (!isBegin(peek())) {
            const Token opt = peek();
            if (opt.kind == TokenKind::End) raise(stmt, what + " without BEGIN");
            if (opt.kind != TokenKind::Ident) raise(opt, "expected BEGIN, found " + describe(opt));
            take();
            if (opt.text == "STYLE") {
                style = styleArg(0);
                hasStyle = true;
            } else if (opt.text == "EXSTYLE") {
                d.exStyle = styleArg(0);
            } else if (opt.text == "CAPTION") {
                d.caption = takeString();
                hasCaption = true;
            } else if (opt.text == "FONT") {
                parseFont(opt, d.font);
                hasFont = true;
            } else if (opt.text == "MENU" || opt.text == "CLASS") {
                const Token& arg = peek();
                if (arg.kind == TokenKind::String ||
                    (arg.kind == TokenKind::Ident && !knownConstant(arg.text)))
                    take();
                else
                    expr();
            } else if (opt.text == "LANGUAGE") {
                expr();
                comma(opt, "LANGUAGE");
                expr();
            } else if (opt.text == "CHARACTERISTICS" || opt.text == "VERSION") {
                expr();
            } else {
                raise(opt, "expected BEGIN, found " + describe(opt));
            }
        }
        d.style = (hasStyle ? style : WS_POPUP | WS_BORDER | WS_SYSMENU) |
                  (hasCaption ? WS_CAPTION : 0) | (hasFont ? DS_SETFONT : 0);

        const Token begin = take();
        while (true) {
            const Token t = peek();
            if (isEnd(t)) {
                take();
                break;
            }
            if (t.kind == TokenKind::End) raise(begin, "missing END for this BEGIN");
            if (t.kind != TokenKind::Ident)
                raise(t, "unknown statement " + describe(t) + " in dialog");
            if (t.text == "CONTROL") {
                d.controls.push_back(parseControl(extended));
                continue;
            }
            const ControlKind* kind = nullptr;
            for (const ControlKind& k : kControlKinds)
                if (t.text == k.keyword) kind = &k;
            if (!kind) raise(t, "unknown statement " + describe(t) + " in dialog");
            d.controls.push_back(parseStandardControl(*kind, extended));
        }
        m_module.dialogs.emplace(id, std::move(d));
    }

    void parseFont(const Token& stmt, FontSpec& font) {
        font.pointSize = intArg();
        comma(stmt, "FONT");
        font.face = takeString();
        if (acceptComma()) {
            font.weight = intArg();
            if (acceptComma()) {
                font.italic = expr().value != 0;
                if (acceptComma()) font.charset = intArg();
            }
        }
        noMoreArguments(stmt, "FONT");
    }

    /// A control's text: a string, a number (no text) or, where a resource is named, a name.
    std::string textArg(bool nameAllowed) {
        const Token& t = peek();
        if (t.kind == TokenKind::String) return takeString();
        if (nameAllowed && t.kind == TokenKind::Ident && !knownConstant(t.text) && t.text != "NOT")
            return take().text;
        expr();
        return {};
    }

    // Optional trailing arguments: style, extended style, help id (DIALOGEX only).
    void trailingArguments(ControlTemplate& c, const ControlKind& kind, bool extended) {
        c.style = WS_CHILD | WS_VISIBLE | kind.defaultStyle;
        if (acceptComma()) {
            c.style = styleArg(WS_CHILD | WS_VISIBLE | kind.baseStyle);
            if (acceptComma()) {
                c.exStyle = styleArg(0);
                if (extended && acceptComma()) expr();
            }
        }
    }

    ControlTemplate parseStandardControl(const ControlKind& kind, bool extended) {
        const Token stmt = take();
        const bool icon = stmt.text == "ICON";
        ControlTemplate c;
        c.className = kind.className;
        c.line = stmt.line;
        if (kind.hasText) {
            c.text = textArg(icon);
            comma(stmt, stmt.text);
        }
        c.id = intArg();
        comma(stmt, stmt.text);
        c.x = intArg();
        comma(stmt, stmt.text);
        c.y = intArg();
        if (icon) {
            // ICON text, id, x, y [, cx, cy [, style [, exstyle]]]: the size is ignored, the
            // icon gives it.
            c.style = WS_CHILD | WS_VISIBLE | kind.defaultStyle;
            if (acceptComma()) {
                intArg();
                comma(stmt, stmt.text);
                intArg();
                trailingArguments(c, kind, extended);
            }
        } else {
            comma(stmt, stmt.text);
            c.cx = intArg();
            comma(stmt, stmt.text);
            c.cy = intArg();
            trailingArguments(c, kind, extended);
        }
        noMoreArguments(stmt, stmt.text);
        return c;
    }

    // CONTROL text, id, class, style, x, y, cx, cy [, exstyle [, helpId]]
    ControlTemplate parseControl(bool extended) {
        const Token stmt = take();
        ControlTemplate c;
        c.line = stmt.line;
        c.text = textArg(true);
        comma(stmt, "CONTROL");
        c.id = intArg();
        comma(stmt, "CONTROL");
        const Token cls = peek();
        if (cls.kind == TokenKind::String) {
            c.className = canonicalClass(takeString());
        } else if (cls.kind == TokenKind::Ident &&
                   (cls.text == "BUTTON" || cls.text == "EDIT" || cls.text == "STATIC" ||
                    cls.text == "LISTBOX" || cls.text == "COMBOBOX" || cls.text == "SCROLLBAR")) {
            take();
            c.className = canonicalClass(cls.text);
        } else {
            raise(cls, "expected a window class, found " + describe(cls));
        }
        comma(stmt, "CONTROL");
        c.style = styleArg(WS_CHILD | WS_VISIBLE);
        comma(stmt, "CONTROL");
        c.x = intArg();
        comma(stmt, "CONTROL");
        c.y = intArg();
        comma(stmt, "CONTROL");
        c.cx = intArg();
        comma(stmt, "CONTROL");
        c.cy = intArg();
        if (acceptComma()) {
            c.exStyle = styleArg(0);
            if (extended && acceptComma()) expr();
        }
        noMoreArguments(stmt, "CONTROL");
        return c;
    }

    // Initial data of a dialog's controls: a byte stream of entries
    // WORD control id, WORD message, DWORD length, bytes[length], ended by a control id 0.
    void parseDlgInit(const Token& stmt, int id) {
        skipMemoryOptions();
        if (!isBegin(peek()))
            raise(peek().kind == TokenKind::End ? stmt : peek(),
                  "expected BEGIN after DLGINIT, found " + describe(peek()));
        const Token begin = take();
        std::string data;
        while (true) {
            const Token t = peek();
            if (isEnd(t)) {
                take();
                break;
            }
            if (t.kind == TokenKind::End) raise(begin, "missing END for this BEGIN");
            if (t.kind == TokenKind::String) {
                data += take().text;
            } else {
                const Value v = expr();
                const int bytes = v.isLong ? 4 : 2;
                for (int i = 0; i < bytes; ++i)
                    data +=
                        static_cast<char>((static_cast<std::uint64_t>(v.value) >> (8 * i)) & 0xFF);
            }
            acceptComma();
        }
        if (!m_dlgInits.insert(id).second)
            raise(stmt, "duplicate DLGINIT for dialog " + std::to_string(id));

        auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
        auto word = [&](std::size_t i) {
            return unsigned(byteAt(i)) | unsigned(byteAt(i + 1)) << 8;
        };
        std::size_t pos = 0;
        while (pos + 2 <= data.size()) {
            const unsigned control = word(pos);
            if (control == 0) break;
            if (pos + 8 > data.size())
                raise(stmt,
                      "DLGINIT entry of control " + std::to_string(control) + " is cut short");
            const unsigned message = word(pos + 2);
            const std::size_t length = std::size_t(word(pos + 4)) | std::size_t(word(pos + 6))
                                                                        << 16;
            pos += 8;
            if (length > data.size() - pos)
                raise(stmt,
                      "DLGINIT data of control " + std::to_string(control) + " runs past the end");
            if (message == kComboAddString || message == kListAddString) {
                const std::string item = data.substr(pos, length);
                m_module.listItems[id][static_cast<int>(control)].push_back(
                    item.substr(0, item.find('\0')));
            }
            pos += length;
        }
    }

    Preprocessor& m_pp;
    ResourceModule& m_module;
    Token m_look;
    bool m_hasLook = false;
    int m_lastFile = 0;
    int m_lastLine = 0;
    TokenKind m_lastKind = TokenKind::End;
    std::set<int> m_dlgInits;
};

} // namespace

std::optional<long> knownConstant(const std::string& name) {
    static const std::unordered_map<std::string, long> table = [] {
        std::unordered_map<std::string, long> t;
        for (const NamedConstant& c : kConstants)
            t.emplace(c.name, c.value);
        return t;
    }();
    auto it = table.find(name);
    if (it == table.end()) return std::nullopt;
    return it->second;
}

ParseResult parseResourceScript(const std::string& text, const std::string& fileName,
                                const IncludeResolver& resolveInclude) {
    ParseResult result;
    Preprocessor pp(resolveInclude);
    try {
        auto module = std::make_shared<ResourceModule>();
        module->name = fileName;
        pp.open(fileName, text);
        ScriptParser parser(pp, *module);
        parser.run();
        module->symbols = pp.numericMacros();
        result.module = std::move(module);
    } catch (const ScriptError& e) {
        result.errorLine = e.line;
        result.error = pp.fileName(e.file) + ":" + std::to_string(e.line) + ": " + e.message;
    } catch (const std::bad_alloc&) {
        result.error = fileName + ":0: out of memory";
    } catch (const std::exception& e) {
        result.error = fileName + ":0: " + e.what();
    }
    return result;
}

} // namespace platform
