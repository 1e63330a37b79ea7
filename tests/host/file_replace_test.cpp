// The one writer of the host's files: what it refuses (a read-only file, a file another program
// replaced) and what it survives (a file-size limit), always leaving the old file whole.
#include "gpshost/FileReplace.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FileReplace : public ::testing::Test {
protected:
    fs::path dir = testsupport::makeTempFolder("gpsdialogs-replace-");
    fs::path file = dir / "libretto.gpsbook.json";

    ~FileReplace() override {
        std::error_code ec;
        fs::permissions(file, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }

    void put(const std::string& content) const {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
    }
    std::string text() const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    int entries() const {
        int n = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir))
            ++n;
        return n;
    }
};

} // namespace

TEST_F(FileReplace, a_read_only_file_is_refused_and_left_as_it_was) {
    put("vecchio");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const hostfile::ReplaceResult result = hostfile::replaceFile(file.string(), "nuovo");
    EXPECT_EQ(result.status, hostfile::ReplaceStatus::ReadOnly);
    EXPECT_EQ(result.error, "il file è di sola lettura");
    EXPECT_EQ(text(), "vecchio");
    EXPECT_EQ(entries(), 1);
}

TEST_F(FileReplace, a_file_replaced_by_another_program_is_not_overwritten_unasked) {
    put("letto qui");
    const hostfile::FileStamp loaded = hostfile::stampOf(file.string());
    ASSERT_TRUE(loaded.known);

    // Still the same file: replaced, and the result says what is there now.
    hostfile::ReplaceOptions options;
    options.expected = &loaded;
    hostfile::ReplaceResult result = hostfile::replaceFile(file.string(), "salvato qui", options);
    ASSERT_TRUE(result.ok()) << result.error;
    const hostfile::FileStamp saved = result.written;
    EXPECT_EQ(saved.size, 11u);
    EXPECT_EQ(saved.hash, hostfile::contentHash("salvato qui"));

    // Another program writes the same number of bytes and puts the old time back: the content
    // still gives it away.
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    put("scritto là!");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    options.expected = &saved;
    result = hostfile::replaceFile(file.string(), "di nuovo qui", options);
    EXPECT_EQ(result.status, hostfile::ReplaceStatus::Changed);
    EXPECT_EQ(text(), "scritto là!");

    // Without an expected file, or once the user agreed, it is written.
    result = hostfile::replaceFile(file.string(), "di nuovo qui");
    EXPECT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(text(), "di nuovo qui");
    EXPECT_EQ(entries(), 1);
}

TEST_F(FileReplace, a_file_size_limit_fails_the_write_instead_of_ending_the_process) {
    put("vecchio");
    const std::string large(64 * 1024, 'x');
    // In a child with the signal's default action, as a program starts: before the fix the
    // limit ended it with SIGXFSZ.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit small{};
        ::getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &small);
        const hostfile::ReplaceResult result = hostfile::replaceFile(file.string(), large);
        const bool reported = result.status == hostfile::ReplaceStatus::Failed &&
                              result.error.find("scrittura non riuscita") == 0;
        ::_exit(reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failure was not reported";
    EXPECT_EQ(text(), "vecchio");
    EXPECT_EQ(entries(), 1);
}
