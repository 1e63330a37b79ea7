// gps_soak: a seeded random user for every export of the module.
//
// Each session loads the sample field book afresh, writes a settings file made from its seed,
// opens one export and acts on whatever dialogs appear through the automation API: hostile
// texts, clicks, pages, list and grid picks, Enter, Escape, the close box. After the session it
// checks what a host relies on: a cancelled dialog changed neither the field book nor the
// settings file; a confirmed one changed only what it may write; the module's resources are
// no longer current; every window and GIS entity made is gone. The sessions take the exports
// in turn, and a session depends on its seed alone, so a failing one is replayed by
//   gps_soak --export NAME --session SEED
#include "core/FieldBook.h"
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/automation.h"
#include "platform/diagnostics.h"
#include "platform/dialog.h"
#include "platform/model.h"
#include "platform/module.h"
#include "platform/types.h"
#include "platform/wnd.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace fs = std::filesystem;

namespace {

// ---- what to print when the process dies in a session -----------------------------------

char g_replay[512] = "";

void printReplay() {
    if (g_replay[0] != '\0') {
        [[maybe_unused]] ssize_t n = ::write(2, g_replay, std::strlen(g_replay));
    }
}

void onFatalSignal(int signal) {
    printReplay();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// ---- texts a hostile user types ----------------------------------------------------------

const std::vector<std::string>& hostileTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> t = {"",
                                      "0",
                                      "-0",
                                      "1e400",
                                      "-1e400",
                                      "nan",
                                      "NaN",
                                      "inf",
                                      "-inf",
                                      "1.7e200",
                                      "1e-400",
                                      "12,5",
                                      "12.5",
                                      " 3 ",
                                      "1.2.3",
                                      "44°29'41.64\"",
                                      "-0.00001",
                                      "2147483648",
                                      "-2147483649",
                                      "99999999999999999999",
                                      "0x1F",
                                      "%s%n%d",
                                      "A5",
                                      "PF12",
                                      "Rilievo Saragozza",
                                      "à è ì ò ù €",
                                      "\xff\xfe\xfd",
                                      "\xc3",
                                      "\xe2\x82",
                                      "\xed\xa0\x80",
                                      std::string("a\0b", 3),
                                      "\t\r\n\x1b\x7f",
                                      "[VRS]",
                                      "[WGS84-ETRF2000]",
                                      "[Section]\nKey=Value",
                                      "../../etc/passwd",
                                      "\"quoted\",;"};
        t.push_back(std::string(10 * 1024, 'x'));
        t.push_back(std::string(10 * 1024, '9'));
        std::string mixed;
        for (int i = 0; i < 10 * 1024; ++i)
            mixed.push_back(static_cast<char>((i * 37) % 256));
        t.push_back(mixed);
        return t;
    }();
    return texts;
}

class Random {
public:
    explicit Random(std::uint64_t seed) : m_engine(seed) {}

    int below(int n) {
        return n <= 0 ? 0 : static_cast<int>(m_engine() % static_cast<unsigned>(n));
    }
    bool chance(int percent) { return below(100) < percent; }

    std::string text() {
        switch (below(4)) {
        case 0: { // short printable garbage
            std::string s;
            for (int i = below(12); i > 0; --i)
                s.push_back(static_cast<char>(32 + below(95)));
            return s;
        }
        case 1: // a number of any size
            return std::to_string(below(2000) - 1000) + (chance(50) ? "." : ",") +
                   std::to_string(below(100000));
        default: {
            const auto& texts = hostileTexts();
            return texts[static_cast<std::size_t>(below(static_cast<int>(texts.size())))];
        }
        }
    }

    std::uint64_t next() { return m_engine(); }

private:
    std::mt19937_64 m_engine;
};

std::uint64_t sessionSeed(std::uint64_t master, std::uint64_t index) {
    std::uint64_t z = master * 0x9E3779B97F4A7C15ull + index + 1;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// ---- the settings file --------------------------------------------------------------------

// Settings made from the session's seed: the keys the module reads, with sensible and hostile
// values, so that the dialogs open on every kind of remembered state.
std::string randomSettings(Random& random) {
    if (random.chance(20)) return "";
    auto value = [&]() -> std::string {
        if (random.chance(50)) return std::to_string(random.below(14) - 2);
        return random.text().substr(0, 300);
    };
    std::string s;
    s += "; settings of the soak\r\n[EDIT_GPS]\r\nModPt=" + value() + "\r\n";
    s += "[TRAF_GPS]\r\nAltAnt=" + value() + "\r\n";
    s += "[LIBRETTO]\r\nNomiAutomatici=" + value() + "\r\n";
    s += "[FILE ASCI]\r\nCoordFormat=" + value() + "\r\nSeparator=" + value() +
         "\r\nApici=" + value() + "\r\nNumCampi=" + value() + "\r\n";
    for (int i = 0; i < random.below(20); ++i)
        s += "Campo-" + std::to_string(i) + "=" + value() + "\r\nnDecCampo-" + std::to_string(i) +
             "=" + value() + "\r\n";
    s += "[PERSIST]\r\nGpsVari=" + value() + "\r\nLastImportedFileGps=" + value() +
         "\r\nLastExportedLibrettoLBC=" + value() + "\r\n";
    return s;
}

/// The settings file's sections by lower-case name, each with its lines.
std::map<std::string, std::string> sections(const std::string& bytes) {
    std::map<std::string, std::string> out;
    std::string current;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        std::string trimmed = line;
        trimmed.erase(0, trimmed.find_first_not_of(" \t"));
        if (!trimmed.empty() && trimmed[0] == '[' && trimmed.find(']') != std::string::npos) {
            current = trimmed.substr(1, trimmed.find(']') - 1);
            std::transform(current.begin(), current.end(), current.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        }
        out[current] += line + "\n";
    }
    return out;
}

// ---- the random user ----------------------------------------------------------------------

struct Control {
    platform::ControlKind kind;
    int id;
};

void collect(const platform::Window& window, std::vector<Control>& out) {
    for (const auto& child : window.children()) {
        if (child->kind() != platform::ControlKind::Dialog &&
            child->kind() != platform::ControlKind::Static &&
            child->kind() != platform::ControlKind::GroupBox)
            out.push_back({child->kind(), child->id()});
        collect(*child, out);
    }
}

class RandomUser : public CGestGps {
public:
    RandomUser(Random& random, int budget) : m_random(random), m_budget(budget) {}

    int actions() const { return m_actions; }

    void arm(automation::ScriptedUser& user) {
        m_user = &user;
        user.onDialog([this](automation::Dialog& d) { actOn(d); });
        armMessageBox();
        armFileDialog();
    }

    // "Note": the host's note editor types a note.
    void EditaNote(CEgn* element) override {
        ++m_actions;
        // The host's own editor hands back characters, long or short.
        if (element != nullptr && m_random.chance(70))
            element->SetNote(m_random.chance(10) ? std::string(10 * 1024, 'n')
                                                 : "Nota " + std::to_string(m_random.below(1000)));
    }

    fs::path folder;

private:
    void armMessageBox() {
        m_user->onMessageBox([this](const automation::MessageBoxCall& call) {
            armMessageBox();
            ++m_actions;
            switch (call.type & MB_TYPEMASK) {
            case MB_OKCANCEL:
                return m_random.chance(50) ? IDOK : IDCANCEL;
            case MB_YESNO:
                return m_random.chance(50) ? IDYES : IDNO;
            case MB_YESNOCANCEL: {
                const int answers[] = {IDYES, IDNO, IDCANCEL};
                return answers[m_random.below(3)];
            }
            default:
                return IDOK;
            }
        });
    }

    void armFileDialog() {
        m_user->onFileDialog([this](const automation::FileDialogCall& call) {
            armFileDialog();
            ++m_actions;
            automation::FileDialogAnswer answer;
            answer.ok = m_random.chance(60);
            answer.filterIndex = m_random.below(15);
            switch (m_random.below(5)) {
            case 0:
                answer.path = (folder / "export.txt").string();
                break;
            case 1:
                answer.path = (folder / "existing.txt").string();
                break;
            case 2:
                answer.path = (folder / "missing" / "none.txt").string();
                break;
            case 3:
                answer.path = m_random.text();
                break;
            default:
                answer.path = call.fileName;
                break;
            }
            return answer;
        });
    }

    void actOn(automation::Dialog& d) {
        // A dialog opened from this one gets a random user too.
        m_user->onDialog([this](automation::Dialog& inner) { actOn(inner); });
        ++m_depth;
        const int mine = m_depth > 1 ? m_random.below(15) : m_budget;
        for (int i = 0; i < mine && d.isOpen(); ++i)
            act(d);
        finish(d);
        --m_depth;
    }

    void finish(automation::Dialog& d) {
        for (int attempt = 0; attempt < 6 && d.isOpen(); ++attempt) {
            ++m_actions;
            switch (attempt == 0 ? m_random.below(5) : attempt - 1) {
            case 0:
                d.click(IDOK);
                break;
            case 1:
                d.click(IDCANCEL);
                break;
            case 2:
                d.escape();
                break;
            case 3:
                d.close();
                break;
            default:
                d.enter();
                break;
            }
        }
    }

    void act(automation::Dialog& d) {
        ++m_actions;
        std::vector<Control> controls;
        if (d.window().GetSafeHwnd() != nullptr) collect(*d.window().GetSafeHwnd(), controls);
        const int roll = m_random.below(100);
        if (roll < 1) {
            d.enter();
            return;
        }
        if (roll < 2) {
            d.escape();
            return;
        }
        if (roll < 3) {
            d.close();
            return;
        }
        if (roll < 12 && d.pageCount() > 0) {
            d.selectPage(m_random.below(d.pageCount() + 1));
            return;
        }
        if (roll < 15) {
            d.pressTab(m_random.chance(30));
            return;
        }
        if (controls.empty()) return;
        const Control& c =
            controls[static_cast<std::size_t>(m_random.below(static_cast<int>(controls.size())))];
        using platform::ControlKind;
        switch (c.kind) {
        case ControlKind::Edit:
            if (m_random.chance(60))
                d.setText(c.id, m_random.text());
            else
                d.type(c.id, m_random.text().substr(0, 40));
            break;
        case ControlKind::PushButton:
            // The buttons that end the dialog are pressed now and then, so that most sessions
            // get far into their dialog before ending it.
            if ((c.id == IDOK || c.id == IDCANCEL) && !m_random.chance(15)) break;
            d.click(c.id);
            break;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            d.click(c.id);
            break;
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
            d.select(c.id, m_random.below(static_cast<int>(d.items(c.id).size()) + 2) - 1);
            break;
        case ControlKind::ListView: {
            const int index = m_random.below(static_cast<int>(d.items(c.id).size()) + 1);
            if (m_random.chance(25))
                d.doubleClick(c.id, index);
            else
                d.select(c.id, index);
            break;
        }
        case ControlKind::Tab:
            d.selectPage(m_random.below(d.pageCount() + 1));
            break;
        case ControlKind::Grid:
            actOnGrid(d.grid(c.id));
            break;
        default:
            d.setFocus(c.id);
            break;
        }
    }

    void actOnGrid(automation::Grid grid) {
        const int row = m_random.below(grid.rows() + 1);
        const int column = m_random.below(grid.columns() + 1);
        switch (m_random.below(6)) {
        case 0:
            grid.click(row, column);
            break;
        case 1:
            grid.edit(row, column, m_random.text());
            break;
        case 2: {
            std::vector<std::string> choices = grid.choices(row, column);
            if (!choices.empty()) grid.pick(m_random.below(static_cast<int>(choices.size())));
            break;
        }
        case 3:
            if (grid.beginEdit(row, column)) {
                grid.setEditText(m_random.text());
                if (m_random.chance(50))
                    grid.enter();
                else
                    grid.escape();
            }
            break;
        case 4:
            grid.moveTo(row, column);
            break;
        default:
            grid.escape();
            break;
        }
    }

    Random& m_random;
    int m_budget;
    int m_actions = 0;
    int m_depth = 0;
    automation::ScriptedUser* m_user = nullptr;
};

// ---- the exports --------------------------------------------------------------------------

/// The first line where two texts differ, both ways, for a failure message.
std::string firstDifference(const std::string& before, const std::string& after) {
    std::size_t at = 0;
    while (at < before.size() && at < after.size() && before[at] == after[at])
        ++at;
    auto lineAround = [at](const std::string& text) {
        std::size_t start = text.rfind('\n', at == 0 ? 0 : at - 1);
        start = start == std::string::npos ? 0 : start + 1;
        return text.substr(start, std::min<std::size_t>(text.find('\n', at) - start, 300));
    };
    return "\n  before: " + lineAround(before) + "\n  after:  " + lineAround(after);
}

struct Outcome {
    bool confirmed = false;
    int group = -1; ///< the group the dialog may write, -1 none
    int point = -1; ///< the point the dialog may write, -1 none
};

struct Export {
    const char* name;
    /// Settings sections it may write on OK (lower case).
    std::vector<std::string> writes;
    /// Settings sections it may write even when cancelled (lower case).
    std::vector<std::string> writesAlways;
    std::function<Outcome(gpsbook::FieldBook&, Random&, RandomUser&)> run;
    bool edits = false;        ///< on OK it may change one element of the field book
    bool editsInPlace = false; ///< it may change that element even when cancelled
};

std::pair<int, int> randomPoint(gpsbook::FieldBook& fb, Random& random) {
    const int group = random.below(fb.book.GetGrpArSize());
    const int count = fb.book.GetPunArSize(group);
    return {group, count == 0 ? -1 : random.below(count)};
}

const std::vector<Export>& exports() {
    static const std::vector<Export> list = {
        {"FDlgModPunGps",
         {"edit_gps"},
         {},
         [](gpsbook::FieldBook& fb, Random& random, RandomUser& user) {
             auto [group, point] = randomPoint(fb, random);
             if (point < 0) return Outcome{};
             return Outcome{FDlgModPunGps(&fb.context, fb.book.GetPunAt(group, point), &fb.book,
                                          &fb.gis, random.chance(70),
                                          random.chance(80) ? &user : nullptr, random.chance(80)),
                            group, point};
         },
         true,
         false},
        {"FDlgFindPunGps",
         {},
         {},
         [](gpsbook::FieldBook&, Random& random, RandomUser&) {
             std::string text = random.text();
             bool inName = random.chance(50), inCode = random.chance(50);
             return Outcome{FDlgFindPunGps(text, inName, inCode)};
         }},
        {"FDatiFindPunGps",
         {},
         {},
         [](gpsbook::FieldBook&, Random&, RandomUser&) {
             std::string text;
             bool inName = false, inCode = false;
             FDatiFindPunGps(text, inName, inCode);
             return Outcome{};
         }},
        {"FMostraPunGps",
         {},
         {},
         [](gpsbook::FieldBook& fb, Random& random, RandomUser&) {
             auto [group, point] = randomPoint(fb, random);
             if (point < 0) return Outcome{};
             return Outcome{FMostraPunGps(fb.book.GetPunAt(group, point))};
         }},
        {"FMostraGrpGps",
         {},
         {},
         [](gpsbook::FieldBook& fb, Random& random, RandomUser&) {
             return Outcome{FMostraGrpGps(fb.book.GetGrpAt(random.below(fb.book.GetGrpArSize())))};
         }},
        {"FDlgSelGrpLibGps",
         {},
         {},
         [](gpsbook::FieldBook& fb, Random& random, RandomUser&) {
             std::vector<CGrpGps*> groups, chosen;
             for (int g = 0; g < fb.book.GetGrpArSize(); ++g)
                 if (random.chance(80)) groups.push_back(fb.book.GetGrpAt(g));
             return Outcome{FDlgSelGrpLibGps(&groups, &chosen)};
         }},
        {"FDlgModStazBase",
         {},
         {},
         [](gpsbook::FieldBook& fb, Random& random, RandomUser& user) {
             const int group = random.below(fb.book.GetGrpArSize());
             return Outcome{FDlgModStazBase(fb.book.GetGrpAt(group),
                                            random.chance(80) ? &user : nullptr, random.chance(80)),
                            group};
         },
         true,
         true},
        {"FDlgOpzSpostaBaseGps",
         {},
         {},
         [](gpsbook::FieldBook& fb, Random& random, RandomUser&) {
             int group = 7;
             double antenna = 0;
             FDlgOpzSpostaBaseGps(&fb.book, random.chance(70) ? &fb.drawings : nullptr, group,
                                  antenna);
             return Outcome{group != -1};
         }},
        {"FDlgOpzCreazGps",
         {"traf_gps", "libretto"},
         {"libretto"},
         [](gpsbook::FieldBook& fb, Random& random, RandomUser&) {
             int group = -1;
             std::string name = random.text(), descr = random.text();
             double x = 686700.0, y = 4928300.0, z = random.chance(50) ? 95.0 : 1.7e200;
             double antenna = 1.5;
             return Outcome{FDlgOpzCreazGps(fb.book.GetGrpAt(0), &fb.book, group, name, descr, x, y,
                                            z, antenna)};
         }},
        {"FDlgOpzTrasfPtGps",
         {"traf_gps"},
         {},
         [](gpsbook::FieldBook& fb, Random& random, RandomUser&) {
             int group = -1;
             double antenna = 0;
             return Outcome{FDlgOpzTrasfPtGps(&fb.book, random.below(1000), group, antenna)};
         }},
        {"FSelDatiFile",
         {"file asci"},
         {},
         [](gpsbook::FieldBook&, Random&, RandomUser&) { return Outcome{FSelDatiFile()}; }},
        {"FInpNomeFileAsciiLibGps",
         {"persist"},
         {},
         [](gpsbook::FieldBook&, Random& random, RandomUser&) {
             std::string name = random.text();
             return Outcome{FInpNomeFileAsciiLibGps(name)};
         }},
        {"FInpNomeFileConvGpsVari",
         {"persist"},
         {},
         [](gpsbook::FieldBook&, Random& random, RandomUser&) {
             std::string name = random.text();
             int format = 0;
             return Outcome{FInpNomeFileConvGpsVari(name, format)};
         }},
    };
    return list;
}

// ---- one session --------------------------------------------------------------------------

int entityCount(gis::CLibGis& gis) {
    int count = 0;
    for (int t = 0; t < gis.GetNumThemes(); ++t)
        count += gis.GetTheme(t)->GetNumEnts();
    return count;
}

std::string bookText(gpsbook::FieldBook& fb) {
    std::string error;
    std::string text = gpsbook::fieldBookToText(fb.book, fb.context, &fb.drawings, &fb.gis, error,
                                                &fb.drawingPoints);
    return error.empty() ? text : "error: " + error;
}

/// What of the field book a confirmed editor may not change: its text with the edited element
/// taken out (the point editor: the point and the GIS values; the base station editor: the
/// group's station and the group's own fields, never its points).
std::string bookOutside(gpsbook::FieldBook& fb, const Outcome& outcome,
                        const std::string& exportName) {
    nlohmann::json book = nlohmann::json::parse(bookText(fb), nullptr, false);
    if (book.is_discarded()) return "unreadable: " + bookText(fb).substr(0, 300);
    nlohmann::json& group = book["groups"][static_cast<std::size_t>(outcome.group)];
    if (exportName == "FDlgModPunGps") {
        group["points"][static_cast<std::size_t>(outcome.point)] = nullptr;
        book.erase("gisThemes");
        // A point confirmed as VRS takes the mark from the other points of its group.
        for (nlohmann::json& other : group["points"]) {
            if (!other.is_object() || !other["description"].is_string()) continue;
            std::string description = other["description"];
            for (std::size_t at; (at = description.find("[VRS]")) != std::string::npos;)
                description.erase(at, 5);
            while (!description.empty() && description.back() == ' ')
                description.pop_back();
            other["description"] = description;
            other.erase("vrs");
        }
    } else {
        nlohmann::json points = group["points"];
        group = nlohmann::json{{"points", points}};
    }
    return book.dump(1);
}

class Soak {
public:
    Soak(fs::path sample, std::string self) : m_self(std::move(self)) {
        m_sampleText = readFile(sample);
        // In memory where there is such a folder: the sessions write the settings file a
        // hundred thousand times, and a disk makes each write wait for it.
        std::string pattern =
            (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
            "gps-soak-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("gps_soak: mkdtemp");
            std::exit(2);
        }
        m_folder = pattern;
        m_original = load();
        if (m_original == nullptr) {
            std::fprintf(stderr, "gps_soak: %s does not load\n", sample.c_str());
            std::exit(2);
        }
        m_sampleCanonical = bookText(*m_original);
        m_settings = m_folder / "settings.ini";
        CIniFile::SetFilePath(m_settings.string());
    }

    ~Soak() {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }

    /// Runs one session; returns the actions done, or sets \p failure.
    int session(std::size_t exportIndex, std::uint64_t seed, std::string& failure) {
        const Export& ex = exports()[exportIndex];
        std::snprintf(g_replay, sizeof g_replay,
                      "gps_soak: died in a session; replay: %s --export %s --session %llu\n",
                      m_self.c_str(), ex.name, static_cast<unsigned long long>(seed));
        Random random(seed);
        // Loading the sample costs more than most sessions (PROJ opens its database for each
        // group), so the field book is loaded again only after a session that changed it: a
        // field book that writes the sample's text is the sample, as far as a session can tell.
        if (m_book == nullptr || bookText(*m_book) != m_sampleCanonical) {
            m_book = load();
            if (m_book == nullptr) {
                failure = "the sample field book does not load";
                return 0;
            }
        }
        gpsbook::FieldBook& fb = *m_book;
        writeFile(m_settings, randomSettings(random));
        writeFile(m_folder / "existing.txt", random.text());
        fs::remove(m_folder / "export.txt");

        const std::string settingsBefore = readFile(m_settings);
        const std::string bookBefore = bookText(fb);
        const HINSTANCE resourcesBefore = AfxGetResourceHandle();
        const std::size_t windowsBefore = platform::livingWindowCount();
        const int entitiesBefore = entityCount(fb.gis);

        RandomUser user(random, 1 + random.below(200));
        user.folder = m_folder;
        Outcome outcome;
        {
            automation::ScriptedUser scripted;
            user.arm(scripted);
            outcome = ex.run(fb, random, user);
        }

        auto fail = [&](const std::string& what) {
            failure = std::string(ex.name) + ": " + what + "\n  replay: " + m_self + " --export " +
                      ex.name + " --session " + std::to_string(seed);
        };
        if (AfxGetResourceHandle() != resourcesBefore)
            fail("the module's resources are still current");
        else if (platform::livingWindowCount() != windowsBefore)
            fail(std::to_string(platform::livingWindowCount() - windowsBefore) +
                 " windows left behind");
        // A confirmed point editor brings the point's own entity in line with its theme: one
        // entity more or less. Otherwise every entity made (the edited clones) is gone.
        else if (const int change = entityCount(fb.gis) - entitiesBefore;
                 change != 0 && !(outcome.confirmed && ex.edits && std::abs(change) <= 1))
            fail(std::string(outcome.confirmed ? "confirmed" : "cancelled") +
                 ", yet the GIS entities went from " + std::to_string(entitiesBefore) + " to " +
                 std::to_string(entityCount(fb.gis)));
        else {
            const std::string settingsAfter = readFile(m_settings);
            auto before = sections(settingsBefore), after = sections(settingsAfter);
            const auto& allowed = outcome.confirmed ? ex.writes : ex.writesAlways;
            for (const auto& name : allowed) {
                before.erase(name);
                after.erase(name);
            }
            if (before != after)
                fail(std::string(outcome.confirmed ? "confirmed" : "cancelled") +
                     ", yet the settings file changed where it may not:\n--- before\n" +
                     settingsBefore + "\n--- after\n" + settingsAfter);
            // The base station editor changes its group at once (known-network box, Note) and
            // puts back only the note and the description on Annulla: what else those changed
            // stays, in the group's station alone.
            else if (!ex.editsInPlace && (!outcome.confirmed || !ex.edits)) {
                if (bookText(fb) != bookBefore)
                    fail(std::string(outcome.confirmed ? "confirmed" : "cancelled") +
                         ", yet the field book changed" +
                         firstDifference(bookBefore, bookText(fb)));
            } else {
                // Confirmed edits: everything outside the edited element stays.
                const std::string kept = bookOutside(*m_original, outcome, ex.name);
                const std::string now = bookOutside(fb, outcome, ex.name);
                if (kept != now)
                    fail("confirmed, yet the field book changed outside the edited element" +
                         firstDifference(kept, now));
            }
        }
        g_replay[0] = '\0';
        return user.actions();
    }

private:
    std::unique_ptr<gpsbook::FieldBook> load() const {
        return gpsbook::parseFieldBook(m_sampleText, "sample").fieldBook;
    }

    std::string m_self;
    std::string m_sampleText;
    std::string m_sampleCanonical;
    std::unique_ptr<gpsbook::FieldBook> m_original; ///< never shown to a dialog
    std::unique_ptr<gpsbook::FieldBook> m_book;
    fs::path m_folder;
    fs::path m_settings;
};

int usage() {
    std::fprintf(stderr, "usage: gps_soak [--actions N] [--seed S] [--sample FILE]\n"
                         "       gps_soak --export NAME --session SEED   (replays one session)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    long long wanted = 10000;
    std::uint64_t master = 1;
    std::string exportName;
    std::uint64_t replaySeed = 0;
    bool replay = false;
    fs::path sample = GPS_SAMPLE_BOOK;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return usage();
        std::string value = argv[++i];
        if (arg == "--actions")
            wanted = std::atoll(value.c_str());
        else if (arg == "--seed")
            master = std::strtoull(value.c_str(), nullptr, 10);
        else if (arg == "--export")
            exportName = value;
        else if (arg == "--session") {
            replaySeed = std::strtoull(value.c_str(), nullptr, 10);
            replay = true;
        } else if (arg == "--sample")
            sample = value;
        else
            return usage();
    }
    std::signal(SIGSEGV, onFatalSignal);
    std::signal(SIGABRT, onFatalSignal);
    std::signal(SIGFPE, onFatalSignal);
    std::signal(SIGBUS, onFatalSignal);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(printReplay);
#endif

    Soak soak(sample, argv[0]);
    std::string failure;
    if (replay) {
        auto it = std::find_if(exports().begin(), exports().end(),
                               [&](const Export& e) { return exportName == e.name; });
        if (it == exports().end()) return usage();
        int actions =
            soak.session(static_cast<std::size_t>(it - exports().begin()), replaySeed, failure);
        if (!failure.empty()) {
            std::fprintf(stderr, "gps_soak: FAILED %s\n", failure.c_str());
            return 1;
        }
        std::printf("gps_soak: session %llu of %s passed, %d actions\n",
                    static_cast<unsigned long long>(replaySeed), exportName.c_str(), actions);
        return 0;
    }

    const auto start = std::chrono::steady_clock::now();
    long long done = 0;
    std::uint64_t sessions = 0;
    while (done < wanted) {
        const std::uint64_t seed = sessionSeed(master, sessions);
        const long long before = done;
        done += soak.session(sessions % exports().size(), seed, failure);
        ++sessions;
        if (done / 100000 != before / 100000 && done < wanted)
            std::printf("gps_soak: %lld actions, %llu sessions\n", done,
                        static_cast<unsigned long long>(sessions));
        std::fflush(stdout);
        if (!failure.empty()) {
            std::fprintf(stderr, "gps_soak: FAILED after %lld actions: %s\n", done,
                         failure.c_str());
            return 1;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("gps_soak: %lld actions in %llu sessions over %zu exports, %.1f s, no fault\n",
                done, static_cast<unsigned long long>(sessions), exports().size(), seconds);
    return 0;
}
