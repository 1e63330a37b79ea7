// The text of a survey element's note on its way through gpsbook's note editor.
//
// The editor works with "\n" line breaks only; a note that came from elsewhere may use "\r\n"
// or "\r". A note the user did not change is left exactly as it was, and a changed note keeps
// the "\r\n" breaks it had.
#pragma once

#include <optional>
#include <string>

namespace gpsbook {

/// The note as the editor shows it: every "\r\n" and lone "\r" becomes "\n".
std::string noteForEditing(const std::string& note);

/// What to store after editing: nothing when \p edited is what noteForEditing(\p original)
/// gave (the note stays byte for byte); otherwise \p edited, with "\r\n" breaks when
/// \p original used them.
std::optional<std::string> noteAfterEditing(const std::string& original, const std::string& edited);

} // namespace gpsbook
