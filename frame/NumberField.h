// Number fields that say why their text cannot be used: the edit's balloon tip, instead of a
// modal message, while the text is not what the field needs. A dialog asks after each change
// and keeps its confirmation closed while any field refuses.
#pragma once

#include <string>

class CWnd;

/// What a number field holds.
enum class NumberForm {
    Number,  ///< any number ("1234.567", "-0,5")
    Minutes, ///< minutes of an angle: a number below 60, sign aside
    Seconds  ///< seconds of an angle: a number below 60, sign aside
};

/// True when \p text is wholly a number of the form (blanks around it are fine).
bool IsNumberText(const std::string& text, NumberForm form);

/// Title of the balloon of a field whose text cannot be used.
extern const char* const kInvalidValueTitle;
/// What the balloon says the field expects.
std::string ExpectedForm(NumberForm form);

/// Checks the text of edit \p id of \p dialog and shows or hides its balloon tip: shown when
/// the text is not empty and not a number of the form, hidden otherwise.
/// \return true when the text is a number of the form, or empty and \p required is false
bool CheckNumberField(CWnd& dialog, int id, NumberForm form, bool required);
