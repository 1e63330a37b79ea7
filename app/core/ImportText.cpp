#include "ImportText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gpsbook::importtext {

namespace {

// The length of the valid UTF-8 sequence at the start of \p text, or 0.
std::size_t utf8Sequence(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    if (size == 0) return 0;
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (size < length || p[1] < low || p[1] > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF) return 0;
    return length;
}

bool validUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t n = utf8Sequence(text);
        if (n == 0) return false;
        text.remove_prefix(n);
    }
    return true;
}

void appendLatin1(std::string& out, unsigned char c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0xA0) {
        out += "\xEF\xBF\xBD"; // C1 controls have no letter: U+FFFD
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string fileMessage(const std::string& path, const std::string& what) {
    return "Impossibile importare il file \"" + excerpt(utf8OrLatin1(path), 200) + "\": " + what +
           ".";
}

} // namespace

std::string readImportFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return fileMessage(path, error == ENOENT ? std::string("il file non esiste")
                                                 : std::string("il file non può essere aperto (") +
                                                       std::strerror(error) + ")");
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fileMessage(path, std::string("errore di lettura (") + std::strerror(errno) + ")");
    if (S_ISDIR(st.st_mode)) return fileMessage(path, "è una cartella, non un file");
    if (!S_ISREG(st.st_mode))
        return fileMessage(path, "non è un file ordinario (è un dispositivo, una pipe o un "
                                 "socket)");
    const std::string tooLarge = "il file supera " + std::to_string(kMaxImportBytes >> 20) +
                                 " MB, il limite dei file importati";
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxImportBytes)
        return fileMessage(path, tooLarge);
    try {
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                const std::string error = fileMessage(path, std::string("errore di lettura (") +
                                                                std::strerror(errno) + ")");
                bytes.clear();
                return error;
            }
            if (bytes.size() + static_cast<std::size_t>(n) > kMaxImportBytes) { // it grew
                bytes.clear();
                return fileMessage(path, tooLarge);
            }
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        bytes.clear();
        bytes.shrink_to_fit();
        return fileMessage(path, "memoria insufficiente per leggere il file");
    }
    return {};
}

std::string decodeText(std::string& text, std::string& note) {
    note.clear();
    auto starts = [&](std::string_view prefix) {
        return std::string_view(text).substr(0, prefix.size()) == prefix;
    };
    using namespace std::string_view_literals;
    if (starts("\xFF\xFE\x00\x00"sv) || starts("\x00\x00\xFE\xFF"sv))
        return "il file è in UTF-32: salvarlo in UTF-8 (o Latin-1) e importarlo di nuovo";
    if (starts("\xFF\xFE"sv) || starts("\xFE\xFF"sv))
        return "il file è in UTF-16: salvarlo in UTF-8 (o Latin-1) e importarlo di nuovo";
    if (starts("\xEF\xBB\xBF"sv)) text.erase(0, 3);
    // UTF-16 without a byte-order mark: every other byte of plain text is zero.
    const std::size_t probe = std::min<std::size_t>(text.size(), 4096);
    std::size_t zeros[2] = {0, 0};
    for (std::size_t i = 0; i < probe; ++i)
        if (text[i] == '\0') ++zeros[i % 2];
    if (zeros[0] + zeros[1] > 0) {
        const std::size_t half = probe / 2;
        if (zeros[0] * 10 >= half * 4 && zeros[1] * 10 < half)
            return "il file è in UTF-16 (big-endian): salvarlo in UTF-8 (o Latin-1) e importarlo "
                   "di nuovo";
        if (zeros[1] * 10 >= half * 4 && zeros[0] * 10 < half)
            return "il file è in UTF-16: salvarlo in UTF-8 (o Latin-1) e importarlo di nuovo";
        return "il file contiene byte nulli: non è un file di testo";
    }
    if (validUtf8(text)) return {};
    std::string decoded;
    decoded.reserve(text.size() + text.size() / 8);
    bool replaced = false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        replaced = replaced || (byte >= 0x80 && byte < 0xA0);
        appendLatin1(decoded, byte);
    }
    text = std::move(decoded);
    note = "Il file non è in UTF-8: i testi sono stati letti come Latin-1 (ISO 8859-1)";
    if (replaced) note += "; i caratteri senza corrispondenza sono diventati \"\xEF\xBF\xBD\"";
    note += ".";
    return {};
}

std::string utf8OrLatin1(std::string_view text) {
    if (validUtf8(text)) return std::string(text);
    std::string out;
    for (char c : text)
        appendLatin1(out, static_cast<unsigned char>(c));
    return out;
}

std::string excerpt(std::string_view text, std::size_t maxChars) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t chars = 0;
    while (!text.empty()) {
        if (chars == maxChars) {
            out += "…";
            break;
        }
        ++chars;
        const auto c = static_cast<unsigned char>(text.front());
        const std::size_t n = utf8Sequence(text);
        if (n > 1 || (n == 1 && c >= 0x20 && c != 0x7F)) {
            out.append(text.substr(0, n));
            text.remove_prefix(n);
            continue;
        }
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
        text.remove_prefix(1);
    }
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    const char end = text.find('\n') != std::string_view::npos ? '\n' : '\r';
    while (!text.empty()) {
        std::size_t at = text.find(end);
        std::string_view line = text.substr(0, at);
        if (end == '\n')
            while (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
        lines.push_back(line);
        if (at == std::string_view::npos) break;
        text.remove_prefix(at + 1);
    }
    return lines;
}

std::string lineError(std::size_t line, const std::string& what) {
    return "Riga " + std::to_string(line) + ": " + what + ".";
}

bool readNumber(std::string_view text, double& value) {
    if (text.empty()) {
        value = kNoValue;
        return true;
    }
    if (text.front() == '+') return false;
    double read = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(read)) return false;
    value = read;
    return true;
}

namespace {

std::string uniqueGroupName(const CLibGps& book, const std::string& wanted) {
    auto taken = [&](const std::string& name) {
        for (int g = 0; g < book.GetGrpArSize(); ++g)
            if (book.GetGrpAt(g)->GetNomeGrp() == name) return true;
        return false;
    };
    const std::string base = wanted.empty() ? "Importati" : wanted;
    std::string name = base;
    for (int n = 2; taken(name); ++n)
        name = base + " (" + std::to_string(n) + ")";
    return name;
}

} // namespace

int addGroups(const std::vector<ImportedGroup>& groups, CLibGps& book, const std::string& groupName,
              std::size_t& points) {
    int first = -1;
    points = 0;
    for (const ImportedGroup& imported : groups) {
        if (imported.points.empty()) continue;
        CGrpGps* group = book.AddGrp(uniqueGroupName(book, groupName));
        int index = -1;
        book.GetIndiciDiGrp(group, index);
        if (first < 0) first = index;
        if (imported.base.present) {
            group->SetNome(imported.base.name);
            group->SetBaseGeo(imported.base.lat, imported.base.lon, imported.base.elev);
            if (defined(imported.base.antenna)) group->SetBaseAltAnt(imported.base.antenna);
        }
        for (const ImportedPoint& in : imported.points) {
            CPunGps* point = book.AddPun(index);
            point->SetNome(in.name);
            point->SetCode(in.description);
            if (!in.note.empty()) point->SetNote(in.note);
            if (defined(in.antenna)) point->SetAltAnt(in.antenna);
            double elev = in.elev;
            if (!defined(elev) && defined(in.groundElev))
                elev = in.groundElev + (defined(in.antenna) ? in.antenna : 0.0);
            if (defined(in.lat) && defined(in.lon)) {
                point->SetGeo(in.lat, in.lon, elev);
            } else if (defined(in.geoc[0]) && defined(in.geoc[1]) && defined(in.geoc[2])) {
                point->SetGeocCeFaMis(in.geoc[0], in.geoc[1], in.geoc[2]);
            } else { // a layout with part of the position: what it has
                if (defined(in.lat)) point->SetLat(in.lat);
                if (defined(in.lon)) point->SetLong(in.lon);
                if (defined(elev)) point->SetElev(elev);
            }
            if (defined(in.east) && defined(in.north)) point->SetCoordXY(in.east, in.north);
            if (defined(in.height)) point->SetCoordZ(in.height);
            if (defined(in.pdop)) point->SetPdop(in.pdop);
            if (defined(in.gdop)) point->SetGdop(in.gdop);
            if (in.hasCovariance) {
                point->SetPosCov_xx(in.cov[0]);
                point->SetPosCov_xy(in.cov[1]);
                point->SetPosCov_xz(in.cov[2]);
                point->SetPosCov_yy(in.cov[3]);
                point->SetPosCov_yz(in.cov[4]);
                point->SetPosCov_zz(in.cov[5]);
            }
            ++points;
        }
    }
    return first;
}

} // namespace gpsbook::importtext
