// How the dialogs show the host's data: numbers as text, and the host's texts as they are.
#pragma once

#include <initializer_list>
#include <string>

class CWnd;

/// The text of \p value with \p decimals decimals; empty when the value is not defined (not
/// below 8.5e199), so that the no-value marker never shows as a number a surveyor could copy.
std::string DisplayValue(double value, int decimals);

/// Makes the static texts \p ids of \p dialog show their text as it is. A name such as
/// "Rossi & Figli" keeps its '&' instead of turning it into an access key. For the fields that
/// show the host's data; the texts in the model stay exactly what the host gave.
void ShowTextsAsTyped(CWnd& dialog, std::initializer_list<int> ids);
