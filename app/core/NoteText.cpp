#include "core/NoteText.h"

namespace gpsbook {

std::string noteForEditing(const std::string& note) {
    std::string out;
    out.reserve(note.size());
    for (std::size_t i = 0; i < note.size(); ++i) {
        if (note[i] == '\r') {
            out += '\n';
            if (i + 1 < note.size() && note[i + 1] == '\n') ++i;
        } else {
            out += note[i];
        }
    }
    return out;
}

std::optional<std::string> noteAfterEditing(const std::string& original,
                                            const std::string& edited) {
    if (edited == noteForEditing(original)) return std::nullopt;
    if (original.find("\r\n") == std::string::npos) return edited;
    std::string out;
    out.reserve(edited.size() + edited.size() / 16);
    for (char c : edited) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

} // namespace gpsbook
