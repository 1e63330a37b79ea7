#include "core/PointSearch.h"

#include "gpsdialogs/interfaces/LibGps.h"

#include <algorithm>
#include <vector>

namespace gpsbook {

namespace {

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool containsIgnoringCase(const std::string& within, const std::string& text) {
    if (text.empty()) return false;
    auto found = std::search(within.begin(), within.end(), text.begin(), text.end(),
                             [](char a, char b) { return foldAscii(a) == foldAscii(b); });
    return found != within.end();
}

bool pointMatches(const CPunGps& point, const std::string& text, bool inName, bool inCode) {
    return (inName && containsIgnoringCase(point.GetNome(), text)) ||
           (inCode && containsIgnoringCase(point.GetCode(), text));
}

std::optional<PointPosition> findNextPoint(const CLibGps& book, int startGroup, int startPoint,
                                           const std::string& text, bool inName, bool inCode,
                                           bool* wrapped) {
    if (wrapped != nullptr) *wrapped = false;
    if (text.empty() || (!inName && !inCode)) return std::nullopt;

    // Every point in book order; `first` is where the search begins.
    std::vector<PointPosition> order;
    std::size_t first = 0;
    bool firstSet = false;
    for (int g = 0; g < book.GetGrpArSize(); ++g) {
        if (g == startGroup && !firstSet) {
            int count = book.GetPunArSize(g);
            first = order.size() + ((startPoint >= 0 && startPoint < count) ? startPoint + 1 : 0);
            firstSet = true;
        }
        for (int p = 0; p < book.GetPunArSize(g); ++p)
            order.push_back({g, p});
    }
    if (order.empty()) return std::nullopt;

    for (std::size_t step = 0; step < order.size(); ++step) {
        const PointPosition& at = order[(first + step) % order.size()];
        const CPunGps* point = book.GetPunAt(at.group, at.point);
        if (point != nullptr && pointMatches(*point, text, inName, inCode)) {
            if (wrapped != nullptr) *wrapped = first + step >= order.size();
            return at;
        }
    }
    return std::nullopt;
}

} // namespace gpsbook
