// The sanitizer build (./dev check) must fail on every report: a run that prints "runtime
// error" and goes on would let undefined behaviour pass the check unseen.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs fault in a child process with its error output discarded; true when the child went on
// to its normal end afterwards.
bool childSurvives(const std::function<void()>& fault) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        fault();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(Sanitizers, every_report_ends_the_run) {
    // GCC announces the address sanitizer only; the check build always has both.
#ifndef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "not a sanitizer build";
#endif
    EXPECT_FALSE(childSurvives([] {
        volatile int largest = INT_MAX;
        volatile int overflowed = largest + 1;
        (void)overflowed;
    })) << "undefined behaviour was reported and the run went on";
    EXPECT_FALSE(childSurvives([] {
        char* block = new char[8];
        volatile char past = block[8];
        (void)past;
        delete[] block;
    })) << "a heap overflow was reported and the run went on";
}
