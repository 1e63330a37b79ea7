// Message boxes and the beep, shown by the active backend.
#pragma once

#include "platform/types.h"

#include <string>

class CWnd;

/// \brief Shows a modal message box.
/// \param owner owning window, may be null
/// \param text message text
/// \param caption title of the box
/// \param type MB_* buttons and icon
/// \return the id of the button that closed the box (IDOK, IDCANCEL, IDYES, IDNO, ...)
int MessageBox(CWnd* owner, const std::string& text, const std::string& caption, UINT type);

/// \brief Plays the system sound of the given kind (MB_ICONEXCLAMATION, MB_OK, ...).
void MessageBeep(UINT type);
