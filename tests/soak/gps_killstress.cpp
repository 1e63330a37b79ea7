// gps_killstress: kill -9 at random points of the settings file's and the field book's writes.
//
// For each file, round after round, a child process writes for ever (the settings file: one
// key of a large file; the field book: two versions of the sample in turn) and is killed with
// SIGKILL at a random moment, most often in the middle of a write. After every kill the file
// must be whole (exactly one of the versions a write could leave) and the temporaries left
// behind no more than the one of the write that was killed (every later successful write
// removes the older ones); after a last successful write none is left.
//   gps_killstress [--kills N] [--seed S] [--only settings|book]
#include "core/FieldBook.h"
#include "gpsdialogs/interfaces/Kit.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> othersIn(const fs::path& folder, const std::string& keep) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != keep) names.push_back(entry.path().filename().string());
    return names;
}

struct Writer {
    std::string name;
    fs::path file;
    std::function<void(long)> write;               ///< the i-th write
    std::function<bool(const std::string&)> whole; ///< the file is one that a write leaves
    std::function<bool()> finalWrite;              ///< one more write, in this process
};

/// Kills \p kills writers; returns the kills that left the file whole, or -1 on a fault.
long stress(Writer& writer, long kills, std::mt19937& random, int maxDelayMicros) {
    long killedInWrite = 0;
    for (long round = 0; round < kills; ++round) {
        int running[2];
        if (::pipe(running) != 0) return -1;
        const pid_t child = ::fork();
        if (child < 0) return -1;
        if (child == 0) {
            ::close(running[0]);
            for (long i = 1;; ++i) {
                writer.write(round * 1000003 + i);
                if (i == 1 && ::write(running[1], "w", 1) != 1) ::_exit(1);
            }
        }
        ::close(running[1]);
        char byte;
        const ssize_t started = ::read(running[0], &byte, 1);
        ::close(running[0]);
        ::usleep(static_cast<useconds_t>(random() % static_cast<unsigned>(maxDelayMicros)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        if (started != 1) {
            std::fprintf(stderr, "gps_killstress: %s: the writer did not finish a first write\n",
                         writer.name.c_str());
            return -1;
        }
        if (!writer.whole(readFile(writer.file))) {
            std::fprintf(stderr, "gps_killstress: %s: torn after kill %ld\n", writer.name.c_str(),
                         round + 1);
            return -1;
        }
        const std::vector<std::string> litter =
            othersIn(writer.file.parent_path(), writer.file.filename().string());
        if (litter.size() > 1) {
            std::fprintf(stderr, "gps_killstress: %s: %zu temporaries after kill %ld (%s, ...)\n",
                         writer.name.c_str(), litter.size(), round + 1, litter[0].c_str());
            return -1;
        }
        killedInWrite += litter.size();
    }
    if (!writer.finalWrite() ||
        !othersIn(writer.file.parent_path(), writer.file.filename().string()).empty()) {
        std::fprintf(stderr, "gps_killstress: %s: temporaries outlived a successful write\n",
                     writer.name.c_str());
        return -1;
    }
    std::printf("gps_killstress: %s: %ld kills survived (%ld in the middle of a write)\n",
                writer.name.c_str(), kills, killedInWrite);
    return kills;
}

} // namespace

int main(int argc, char** argv) {
    long kills = 10000;
    unsigned seed = 1;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--kills")
            kills = std::atol(argv[i + 1]);
        else if (arg == "--seed")
            seed = static_cast<unsigned>(std::atol(argv[i + 1]));
        else if (arg == "--only")
            only = argv[i + 1];
        else {
            std::fprintf(stderr,
                         "usage: gps_killstress [--kills N] [--seed S] [--only settings|book]\n");
            return 2;
        }
    }
    // In memory where there is such a folder: a kill -9 stops the process, not the machine, so
    // what it leaves is the same on any file system, and ten thousand rounds need no disk.
    std::string pattern =
        (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
        "gps-killstress-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return 2;
    const fs::path root = pattern;
    std::mt19937 random(seed);
    const auto start = std::chrono::steady_clock::now();
    int status = 0;

    if (only.empty() || only == "settings") {
        fs::create_directories(root / "settings");
        const fs::path path = root / "settings" / "settings.ini";
        std::string tail;
        while (tail.size() < 128 * 1024)
            tail += "; padding line that every write must keep, byte for byte\r\n";
        { std::ofstream(path, std::ios::binary) << "[S]\r\nk=0\r\n" << tail; }
        Writer settings{
            "settings file", path,
            [path](long i) {
                CIniFile(path.string()).WriteLong("S", "k", static_cast<int>(i % 2000000000));
            },
            [tail](const std::string& bytes) {
                const std::string head = "[S]\r\nk=";
                if (bytes.rfind(head, 0) != 0) return false;
                const std::size_t end = bytes.find("\r\n", head.size());
                if (end == std::string::npos || end == head.size()) return false;
                for (std::size_t c = head.size(); c < end; ++c)
                    if (bytes[c] < '0' || bytes[c] > '9') return false;
                return bytes.compare(end + 2, std::string::npos, tail) == 0;
            },
            [path] { return CIniFile(path.string()).WriteLong("S", "k", 1); }};
        if (stress(settings, kills, random, 3000) < 0) status = 1;
    }

    if (status == 0 && (only.empty() || only == "book")) {
        fs::create_directories(root / "book");
        const fs::path path = root / "book" / "book.json";
        gpsbook::LoadResult sample = gpsbook::loadFieldBook(GPS_SAMPLE_BOOK);
        if (!sample.ok()) {
            std::fprintf(stderr, "gps_killstress: %s\n", sample.error.c_str());
            return 2;
        }
        gpsbook::FieldBook& fb = *sample.fieldBook;
        CGrpGps* group = fb.book.GetGrpAt(0);
        const std::string firstName = group->GetNomeGrp();
        std::string versions[2];
        for (int v = 0; v < 2; ++v) {
            group->SetNomeGrp(v == 0 ? firstName : firstName + " (bis)");
            if (!gpsbook::saveFieldBook(path.string(), fb).empty()) return 2;
            versions[v] = readFile(path);
        }
        // The writers are copies of one program that each other's saves do not concern: each
        // overwrites what the others wrote, as a user who was asked would let it.
        Writer book{
            "field book", path,
            [&](long i) {
                group->SetNomeGrp(i % 2 == 0 ? firstName : firstName + " (bis)");
                (void)gpsbook::writeFieldBook(path.string(), fb, true);
            },
            [&](const std::string& bytes) { return bytes == versions[0] || bytes == versions[1]; },
            [&] { return gpsbook::writeFieldBook(path.string(), fb, true).ok(); }};
        if (stress(book, kills, random, 3000) < 0) status = 1;
    }

    std::error_code ec;
    fs::remove_all(root, ec);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status == 0) std::printf("gps_killstress: no torn file, %.1f s\n", seconds);
    return status;
}
