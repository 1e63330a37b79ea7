// The GIS data library's table control: the attribute values of one row of a theme's table in
// a property grid, property i being field i of the table.
#pragma once

#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/PropertyCtrl.h"
#include "platform/wnd.h"

/// \brief Creates the table control as a child of \p parent at \p rect.
///
/// One property per field of \p table, showing its value in \p row. Predefined fields are
/// read-only; the others are editable when \p editable is true and there is a row. A value the
/// user confirms is written into \p row at once, converted to its field's type; a value that
/// does not fit its field is refused with the reason beside its row. \p table and \p row may
/// be null: the control is then empty, or shows the fields without values, read-only.
/// \return the control, owned by the caller until GisTableCtrl_Destroy; null when the window
///         cannot be made
CWnd* GisTableCtrl_Create(gis::CLibGis* lib, gis::CDBTable* table, kit::CResultRow* row,
                          const RECT& rect, CWnd* parent, int id, bool editable);

/// \brief Takes over the value being typed into the row.
/// \param showReason true: a refusal shows its reason beside the row (it always does here)
/// \return false when the value does not fit its field (the editor stays open); true when
///         nothing was pending, the value was taken, or \p control is null
bool GisTableCtrl_Commit(CWnd* control, bool showReason);

/// \brief Destroys the control made by GisTableCtrl_Create; a value still being typed is
///        dropped, and the row is not touched. Null does nothing.
void GisTableCtrl_Destroy(CWnd* control);

/// \brief The property grid of the control; null for null or another window.
CPropertyCtrl* GisTableCtrl_GetPropertyCtrl(CWnd* control);
