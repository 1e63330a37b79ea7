// The settings file: Windows-profile text, names without case, untouched bytes, atomic writes
// that take turns across processes and leave no litter behind.
#include "gpsdialogs/interfaces/Kit.h"

#include "TempSettings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using testsupport::TempSettings;

TEST(IniFile, a_missing_file_gives_every_default) {
    TempSettings settings;
    CIniFile ini;
    EXPECT_EQ(ini.GetPath(), settings.pathString());
    EXPECT_EQ(ini.GetShort("EDIT_GPS", "ModPt", 3), 3);
    EXPECT_TRUE(ini.GetBool("LIBRETTO", "AssNomiGpsAuto", true));
    EXPECT_EQ(ini.GetLong("FILE ASCI", "NumCampi", -1), -1);
    EXPECT_EQ(ini.GetDouble("TRAF_GPS", "AltAnt", 1.5), 1.5);
    EXPECT_EQ(ini.GetString("PERSIST", "GpsVari", "x"), "x");
    char buffer[16] = "junk";
    EXPECT_FALSE(ini.GetLastFile("PERSIST", "a", "b", "c", "d", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(fs::exists(settings.path()));
}

TEST(IniFile, values_read_back_exactly) {
    TempSettings settings;
    {
        CIniFile ini;
        EXPECT_TRUE(ini.WriteShort("EDIT_GPS", "ModPt", -32768));
        EXPECT_TRUE(ini.WriteLong("FILE ASCI", "Campo-0", INT32_MAX));
        EXPECT_TRUE(ini.WriteBool("LIBRETTO", "AssNomiGpsAuto", true));
        EXPECT_TRUE(ini.WriteDouble("TRAF_GPS", "AltAnt", 0.1));
        EXPECT_TRUE(ini.WriteDouble("TRAF_GPS", "Third", 1.0 / 3.0));
        EXPECT_TRUE(ini.WriteDouble("TRAF_GPS", "Tiny", -DBL_MIN / 4)); // subnormal
        EXPECT_TRUE(ini.WriteDouble("TRAF_GPS", "NoValue", 1.7e200));
        EXPECT_TRUE(ini.WriteString("PERSIST", "Blanks", "  padded  "));
        EXPECT_TRUE(ini.WriteString("PERSIST", "TrailingBlank", "C:\\dati\\ "));
        EXPECT_TRUE(ini.WriteString("PERSIST", "LeadingTab", "\tinizio"));
        EXPECT_TRUE(ini.WriteString("PERSIST", "Quoted", "\"q\""));
        EXPECT_TRUE(ini.WriteString("PERSIST", "Odd", "a=b ; c # d [e]"));
        EXPECT_TRUE(ini.WriteString("PERSIST", "Path", "/home/citt\xc3\xa0/rilievo 1.txt"));
        EXPECT_TRUE(ini.WriteString("PERSIST", "Empty", ""));
    }
    CIniFile ini; // a fresh object reads the file afresh
    EXPECT_EQ(ini.GetShort("EDIT_GPS", "ModPt", 0), -32768);
    EXPECT_EQ(ini.GetLong("FILE ASCI", "Campo-0", 0), INT32_MAX);
    EXPECT_TRUE(ini.GetBool("LIBRETTO", "AssNomiGpsAuto", false));
    EXPECT_EQ(ini.GetDouble("TRAF_GPS", "AltAnt", 0), 0.1);
    EXPECT_EQ(ini.GetDouble("TRAF_GPS", "Third", 0), 1.0 / 3.0);
    EXPECT_EQ(ini.GetDouble("TRAF_GPS", "Tiny", 0), -DBL_MIN / 4);
    EXPECT_EQ(ini.GetDouble("TRAF_GPS", "NoValue", 0), 1.7e200);
    EXPECT_EQ(ini.GetString("PERSIST", "Blanks", ""), "  padded  ");
    // A blank at one end only is kept too.
    EXPECT_EQ(ini.GetString("PERSIST", "TrailingBlank", ""), "C:\\dati\\ ");
    EXPECT_EQ(ini.GetString("PERSIST", "LeadingTab", ""), "\tinizio");
    EXPECT_EQ(ini.GetString("PERSIST", "Quoted", ""), "\"q\"");
    EXPECT_EQ(ini.GetString("PERSIST", "Odd", ""), "a=b ; c # d [e]");
    EXPECT_EQ(ini.GetString("PERSIST", "Path", ""), "/home/citt\xc3\xa0/rilievo 1.txt");
    EXPECT_EQ(ini.GetString("PERSIST", "Empty", "default"), "");
    EXPECT_NE(settings.read().find("AltAnt=0.1\n"), std::string::npos);
}

TEST(IniFile, names_are_found_without_regard_to_case) {
    TempSettings settings;
    settings.write("[edit_gps]\n  modpt = 3 \n");
    CIniFile ini;
    EXPECT_EQ(ini.GetShort("EDIT_GPS", "ModPt", 0), 3);
    EXPECT_TRUE(ini.WriteShort("Edit_Gps", "MODPT", 4));
    EXPECT_EQ(settings.read(), "[edit_gps]\n  modpt = 4\n");
}

TEST(IniFile, a_write_keeps_every_other_byte) {
    TempSettings settings;
    const std::string before = "; settings of the surveyor\r\n"
                               "\r\n"
                               "[PERSIST]\r\n"
                               "LastLoadedFile=C:\\dati\\a.gps\r\n"
                               "# comment inside\r\n"
                               "garbage without equals\r\n"
                               "GpsVari = 3   \r\n"
                               "\r\n"
                               "[FILE ASCI]\r\n"
                               "Separator=1\r\n";
    settings.write(before);
    CIniFile ini;
    EXPECT_TRUE(ini.WriteLong("persist", "gpsvari", 12));
    std::string expected = before;
    expected.replace(expected.find("3   \r\n"), 6, "12\r\n");
    EXPECT_EQ(settings.read(), expected);

    // A new key goes after the last key of its section, with the file's line ends.
    EXPECT_TRUE(ini.WriteString("PERSIST", "LastStoredFile", "b.gps"));
    expected.insert(expected.find("\r\n\r\n[FILE ASCI]") + 2, "LastStoredFile=b.gps\r\n");
    EXPECT_EQ(settings.read(), expected);

    // A new section goes at the end.
    EXPECT_TRUE(ini.WriteBool("LIBRETTO", "AssNomiGpsAuto", false));
    expected += "[LIBRETTO]\r\nAssNomiGpsAuto=0\r\n";
    EXPECT_EQ(settings.read(), expected);
}

TEST(IniFile, a_file_without_final_line_end_gets_one_before_new_lines) {
    TempSettings settings;
    settings.write("[A]\nx=1");
    CIniFile ini;
    EXPECT_TRUE(ini.WriteShort("A", "y", 2));
    EXPECT_EQ(settings.read(), "[A]\nx=1\ny=2\n");
    settings.write("[A]\nx=1");
    EXPECT_TRUE(ini.WriteShort("B", "z", 3));
    EXPECT_EQ(settings.read(), "[A]\nx=1\n[B]\nz=3\n");
}

TEST(IniFile, a_byte_order_mark_does_not_hide_the_first_section) {
    TempSettings settings;
    settings.write("\xEF\xBB\xBF[EDIT_GPS]\r\nModPt=2\r\n");
    EXPECT_EQ(CIniFile().GetShort("EDIT_GPS", "ModPt", 0), 2);
}

TEST(IniFile, malformed_values_give_the_default) {
    TempSettings settings;
    settings.write("[S]\n"
                   "Short=99999\nWord=abc\nHalf=1.5\nFlag=maybe\nNum=1.5x\nComma=1,5\n"
                   "Big=2147483648\nSpaced= 12 \nYes=YES\nNo=false\n"
                   "[Broken\nOrphan=7\n\x01\x02\xff\xfe=\n");
    CIniFile ini;
    EXPECT_EQ(ini.GetShort("S", "Short", 5), 5);
    EXPECT_EQ(ini.GetShort("S", "Word", 5), 5);
    EXPECT_EQ(ini.GetShort("S", "Half", 5), 5);
    EXPECT_TRUE(ini.GetBool("S", "Flag", true));
    EXPECT_FALSE(ini.GetBool("S", "Flag", false));
    EXPECT_EQ(ini.GetDouble("S", "Num", 2.5), 2.5);
    EXPECT_EQ(ini.GetDouble("S", "Comma", 2.5), 2.5);
    EXPECT_EQ(ini.GetLong("S", "Big", 5), 5);
    EXPECT_EQ(ini.GetShort("S", "Spaced", 5), 12);
    EXPECT_TRUE(ini.GetBool("S", "Yes", false));
    EXPECT_FALSE(ini.GetBool("S", "No", true));
    // "[Broken" opens no section: Orphan still belongs to [S].
    EXPECT_EQ(ini.GetShort("S", "Orphan", 0), 7);
}

TEST(IniFile, a_folder_in_place_of_the_file_gives_defaults_and_refuses_writes) {
    TempSettings settings;
    fs::create_directory(settings.path());
    CIniFile ini;
    EXPECT_EQ(ini.GetShort("S", "k", 9), 9);
    EXPECT_FALSE(ini.WriteShort("S", "k", 1));
    EXPECT_TRUE(fs::is_directory(settings.path()));
}

TEST(IniFile, a_write_into_a_missing_folder_fails) {
    TempSettings settings;
    CIniFile ini((settings.dir() / "no-such-folder" / "settings.ini").string());
    EXPECT_FALSE(ini.WriteShort("EDIT_GPS", "ModPt", 1));
    EXPECT_FALSE(fs::exists(settings.dir() / "no-such-folder"));
}

TEST(IniFile, a_failed_write_leaves_the_old_file_whole) {
    TempSettings settings;
    std::string before = "[EDIT_GPS]\nModPt=1\n";
    for (int i = 0; i < 200; ++i)
        before += "; padding line " + std::to_string(i) + "\n";
    settings.write(before);

    // Writes past a small file-size limit fail (also for root), like a full disk.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = CIniFile().WriteShort("EDIT_GPS", "ModPt", 4);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(settings.read(), before);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(settings.dir()))
        ++files;
    EXPECT_EQ(files, 1) << "the temporary file was left behind";
}

TEST(IniFile, texts_that_do_not_fit_one_line_are_refused) {
    TempSettings settings;
    settings.write("[S]\nk=1\n");
    CIniFile ini;
    EXPECT_FALSE(ini.WriteString("S", "k", "two\nlines"));
    EXPECT_FALSE(ini.WriteString("S", "k=x", "v"));
    EXPECT_FALSE(ini.WriteString("S]", "k", "v"));
    EXPECT_FALSE(ini.WriteString("", "k", "v"));
    EXPECT_FALSE(ini.WriteString("S", " ", "v"));
    EXPECT_EQ(settings.read(), "[S]\nk=1\n");
}

TEST(IniFile, writes_keep_the_permissions_and_follow_a_link) {
    TempSettings settings;
    const fs::path real = settings.dir() / "real.ini";
    {
        CIniFile ini(real.string());
        ASSERT_TRUE(ini.WriteShort("S", "k", 1));
    }
    ::chmod(real.c_str(), 0600);
    fs::create_symlink("real.ini", settings.path());
    CIniFile ini; // through the link
    ASSERT_TRUE(ini.WriteShort("S", "k", 2));
    EXPECT_TRUE(fs::is_symlink(settings.path()));
    EXPECT_EQ(CIniFile(real.string()).GetShort("S", "k", 0), 2);
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(IniFile, last_file_takes_the_first_key_with_a_value) {
    TempSettings settings;
    settings.write("[PERSIST]\nLastExportedLibrettoLBC=\nLastImportedLibrettoLBC=/b/x.lbc\n"
                   "LastStoredFile=/c/y.gps\n");
    char buffer[1023];
    EXPECT_TRUE(CIniFile().GetLastFile("PERSIST", "LastExportedLibrettoLBC",
                                       "LastImportedLibrettoLBC", "LastStoredFile",
                                       "LastLoadedFile", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "/b/x.lbc");
}

TEST(IniFile, last_file_is_cut_on_a_character_boundary) {
    TempSettings settings;
    // "/città/x": the 'à' takes bytes 5 and 6.
    settings.write("[P]\nk=/citt\xc3\xa0/x\n");
    CIniFile ini;
    char buffer[16];
    ini.GetLastFile("P", "a", "k", "b", "c", buffer, 7); // room for 6 bytes: would split 'à'
    EXPECT_STREQ(buffer, "/citt");
    ini.GetLastFile("P", "a", "k", "b", "c", buffer, 8);
    EXPECT_STREQ(buffer, "/citt\xc3\xa0");
    ini.GetLastFile("P", "a", "k", "b", "c", buffer, 1);
    EXPECT_STREQ(buffer, "");
    ini.GetLastFile("P", "a", "k", "b", "c", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "/citt\xc3\xa0/x");
}

TEST(IniFile, reading_and_writing_agree_on_blanks_before_a_section) {
    TempSettings settings;
    for (const char* blank : {"\f", "\v", "\r", " \t"}) {
        SCOPED_TRACE(testing::PrintToString(blank));
        settings.write(std::string("[A]\nx=1\n") + blank + "[S]\nk=old\n");
        CIniFile ini;
        EXPECT_EQ(ini.GetString("S", "k", "default"), "old");
        ASSERT_TRUE(ini.WriteString("S", "k", "new"));
        EXPECT_EQ(ini.GetString("S", "k", "default"), "new");
        EXPECT_EQ(ini.GetString("A", "x", "default"), "1");
    }
}

namespace {

// Sets an environment variable (null: unsets it) for one scope.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~EnvironmentVariable() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::vector<std::string> temporariesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind(".settings.ini.", 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

TEST(IniFile, a_new_file_follows_the_umask) {
    TempSettings settings;
    const mode_t previous = ::umask(077);
    const bool written = CIniFile().WriteShort("S", "k", 1);
    ::umask(027);
    const bool second = CIniFile((settings.dir() / "other.ini").string()).WriteShort("S", "k", 1);
    ::umask(previous);
    ASSERT_TRUE(written);
    ASSERT_TRUE(second);
    struct stat st {};
    ASSERT_EQ(::stat(settings.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((settings.dir() / "other.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(IniFile, the_default_place_follows_the_xdg_rules_and_is_made_on_first_write) {
    TempSettings settings;
    const fs::path home = settings.dir() / "home";
    fs::create_directory(home);
    EnvironmentVariable homeVariable("HOME", home.c_str());
    EnvironmentVariable xdg("XDG_CONFIG_HOME", "relative/config");
    CIniFile::SetFilePath(""); // the default place; the fixture puts its own path back

    // A relative $XDG_CONFIG_HOME is ignored, and ~/.config does not exist yet.
    const fs::path expected = home / ".config" / "gpsdialogs.ini";
    ASSERT_EQ(CIniFile::GetFilePath(), expected.string());
    EXPECT_TRUE(CIniFile().WriteShort("EDIT_GPS", "ModPt", 2));
    EXPECT_EQ(CIniFile(expected.string()).GetShort("EDIT_GPS", "ModPt", 0), 2);
    struct stat st {};
    ASSERT_EQ(::stat(expected.parent_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const fs::path absolute = settings.dir() / "xdg" / "nested";
    EnvironmentVariable xdgAbsolute("XDG_CONFIG_HOME", absolute.c_str());
    EXPECT_EQ(CIniFile::GetFilePath(), (absolute / "gpsdialogs.ini").string());
    EXPECT_TRUE(CIniFile().WriteShort("EDIT_GPS", "ModPt", 3));
    EXPECT_EQ(CIniFile((absolute / "gpsdialogs.ini").string()).GetShort("EDIT_GPS", "ModPt", 0), 3);
    EXPECT_FALSE(fs::exists("relative"));
}

TEST(IniFile, two_processes_writing_at_once_lose_no_key) {
    TempSettings settings;
    settings.write("[S]\n");
    constexpr int kKeys = 100;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = ::fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            char go;
            ::close(start[1]);
            [[maybe_unused]] ssize_t n = ::read(start[0], &go, 1); // both start together
            bool allWritten = true;
            for (int i = 0; i < kKeys; ++i)
                allWritten =
                    CIniFile(settings.pathString())
                        .WriteLong("S", "w" + std::to_string(w) + "k" + std::to_string(i), i) &&
                    allWritten;
            ::_exit(allWritten ? 0 : 1);
        }
    }
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write reported failure";
    }
    CIniFile ini;
    int found = 0;
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kKeys; ++i)
            found += ini.GetLong("S", "w" + std::to_string(w) + "k" + std::to_string(i), -1) == i;
    EXPECT_EQ(found, 2 * kKeys);
    EXPECT_TRUE(temporariesIn(settings.dir()).empty());
}

TEST(IniFile, temporaries_of_killed_writers_go_with_the_next_write) {
    TempSettings settings;
    // A large file keeps each write long, so that most kills come in the middle of one.
    std::string padding = "[S]\nk=0\n";
    while (padding.size() < 256 * 1024)
        padding += "; padding line to make each write take a while\n";
    settings.write(padding);

    std::mt19937 random(12345);
    std::size_t left = 0;
    for (int round = 0; round < 300 && left == 0; ++round) {
        int running[2];
        ASSERT_EQ(::pipe(running), 0);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) { // writes for ever, saying so after its first write
            for (int i = 1;; ++i) {
                CIniFile(settings.pathString()).WriteLong("S", "k", i);
                if (i == 1 && ::write(running[1], "w", 1) != 1) ::_exit(1);
            }
        }
        ::close(running[1]);
        char byte;
        const ssize_t started = ::read(running[0], &byte, 1);
        ::close(running[0]);
        ::usleep(random() % 5000);
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        ASSERT_EQ(started, 1) << "the writer did not get through a first write";
        left = temporariesIn(settings.dir()).size();
    }
    ASSERT_GE(left, 1u) << "no kill came during a write";

    // The file is whole; the next successful write removes what the killed writers left.
    CIniFile ini;
    std::string expected = padding;
    expected.replace(expected.find("k=0"), 3, "k=" + std::to_string(ini.GetLong("S", "k", -1)));
    EXPECT_EQ(settings.read(), expected);
    // Older litter of the same kind goes too; files that only look alike stay.
    std::ofstream(settings.dir() / ".settings.ini.Ab12Yz") << "left long ago";
    fs::last_write_time(settings.dir() / ".settings.ini.Ab12Yz",
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    std::ofstream(settings.dir() / ".settings.ini.bak") << "not ours";
    std::ofstream(settings.dir() / ".other.ini.Ab12Yz") << "another file's";
    ASSERT_TRUE(ini.WriteLong("S", "other", 1));
    EXPECT_EQ(temporariesIn(settings.dir()), std::vector<std::string>{".settings.ini.bak"});
    EXPECT_TRUE(fs::exists(settings.dir() / ".other.ini.Ab12Yz"));
    EXPECT_EQ(ini.GetLong("S", "other", 0), 1);
}

TEST(IniFile, a_batch_reaches_the_file_in_one_replace_at_its_commit) {
    TempSettings settings;
    settings.write("[FILE ASCI]\nNumCampi=2\n");
    {
        CIniFile::CWriteBatch batch;
        CIniFile ini;
        EXPECT_TRUE(ini.WriteLong("FILE ASCI", "NumCampi", 3));
        EXPECT_TRUE(ini.WriteLong("FILE ASCI", "Campo-0", 7));
        EXPECT_FALSE(ini.WriteString("FILE ASCI", "a=b", "x")); // refused as without a batch
        // The writer reads its own writes; the file is not touched yet.
        EXPECT_EQ(CIniFile().GetLong("FILE ASCI", "NumCampi", 0), 3);
        EXPECT_EQ(CIniFile().GetLong("FILE ASCI", "Campo-0", 0), 7);
        EXPECT_EQ(settings.read(), "[FILE ASCI]\nNumCampi=2\n");
        {
            CIniFile::CWriteBatch inner; // joins the open batch
            EXPECT_TRUE(ini.WriteBool("FILE ASCI", "Apici", false));
            EXPECT_TRUE(inner.Commit());
            EXPECT_EQ(settings.read(), "[FILE ASCI]\nNumCampi=2\n");
        }
        std::string error = "not cleared";
        EXPECT_TRUE(batch.Commit(&error));
        EXPECT_EQ(error, "");
    }
    EXPECT_EQ(settings.read(), "[FILE ASCI]\nNumCampi=3\nCampo-0=7\nApici=0\n");

    // A batch dropped without its commit writes nothing.
    {
        CIniFile::CWriteBatch batch;
        EXPECT_TRUE(CIniFile().WriteLong("FILE ASCI", "NumCampi", 9));
    }
    EXPECT_EQ(CIniFile().GetLong("FILE ASCI", "NumCampi", 0), 3);
}

TEST(IniFile, a_read_only_file_is_left_alone_and_the_commit_says_why) {
    TempSettings settings;
    settings.write("[FILE ASCI]\nNumCampi=2\n");
    fs::permissions(settings.path(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(CIniFile().WriteLong("FILE ASCI", "NumCampi", 5));

    CIniFile::CWriteBatch batch;
    EXPECT_TRUE(CIniFile().WriteLong("FILE ASCI", "NumCampi", 5)); // held back
    std::string error;
    EXPECT_FALSE(batch.Commit(&error));
    EXPECT_EQ(error, "il file è di sola lettura");
    EXPECT_EQ(settings.read(), "[FILE ASCI]\nNumCampi=2\n");
}

TEST(IniFile, a_file_too_large_for_settings_gives_defaults_and_is_never_replaced) {
    TempSettings settings;
    std::string huge = "[FILE ASCI]\nNumCampi=4\n";
    while (huge.size() <= (1u << 20))
        huge += "; a comment line that makes the file larger than any settings file\n";
    settings.write(huge);
    CIniFile ini;
    EXPECT_EQ(ini.GetLong("FILE ASCI", "NumCampi", 15), 15);
    EXPECT_FALSE(ini.WriteLong("FILE ASCI", "NumCampi", 3));
    EXPECT_EQ(settings.read(), huge);
}
