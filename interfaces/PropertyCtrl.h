// The toolkit's property grid: one row per property, its name and its value, typed. The value
// cell is edited in place; a text that does not fit the property's type is refused, the
// editor stays open with it selected, and the reason is shown in a balloon at the cell and
// beside the row.
#pragma once

#include "gpsdialogs/interfaces/Kit.h"
#include "platform/grid.h"

#include <string>
#include <vector>

/// \brief A grid of typed properties under the headings "Proprietà" and "Valore": property i
/// in row i, its name in the fixed column 0 and its value in column 1.
///
/// Bool properties are chosen from a drop-down list ("", "Sì", "No"); every other kind is
/// typed. Read-only properties are shown on grey and cannot be edited.
class CPropertyCtrl : public CGridCtrl, private IGridListener {
public:
    /// \brief Grid row of property 0.
    static constexpr int kFirstRow = 0;
    /// \brief Grid column of the values.
    static constexpr int kValueColumn = 1;

    CPropertyCtrl();
    ~CPropertyCtrl() override;

    /// \brief Creates the grid window as a child of \p parent, with its two columns.
    bool Create(const RECT& rect, CWnd* parent, UINT id,
                DWORD style = WS_CHILD | WS_BORDER | WS_TABSTOP | WS_VISIBLE) override;
    using CGridCtrl::Create;

    /// \brief Appends a property with an empty value. \return its index; -1 before Create
    int AddProperty(const std::string& name, kit::CPolyValue::Type type, bool readOnly);
    /// \brief Removes every property.
    void RemoveAllProperties();
    /// \brief Number of properties.
    int GetPropertyCount() const { return static_cast<int>(m_types.size()); }
    /// \brief Kind of a property; Type::Empty for an index out of range.
    kit::CPolyValue::Type GetPropertyType(int index) const;

    /// \brief Shows \p value as the value of property \p index, converted to its kind.
    /// \return false, nothing shown, when the index is out of range or the value does not fit
    bool SetCurrentPropertyValue(int index, const kit::CPolyValue& value);
    /// \brief The value shown for property \p index, of the property's kind.
    bool GetCurrentPropertyValue(int index, kit::CPolyValue& value) const;

    /// \brief Takes over the text being typed in an open editor, as Enter does.
    /// \return false when the text is refused (the editor stays open and the reason shows
    ///         beside its row); true when nothing was pending or the value was taken
    bool CommitPendingValue();

    /// \brief The text a value is shown with ("Sì"/"No" for a bool, dd/mm/yyyy for a date).
    static std::string DisplayText(const kit::CPolyValue& value);
    /// \brief Why a text does not fit a property of kind \p type, in Italian; "" when it fits.
    static std::string RefusalReason(kit::CPolyValue::Type type, const std::string& text);

protected:
    /// \brief The user accepted \p value for property \p index; false refuses it (the editor
    ///        stays open). The base class accepts every value.
    virtual bool OnPropertyChanged(int index, const kit::CPolyValue& value);

private:
    bool OnGridBeginEdit(CGridCtrl& grid, int row, int column,
                         std::vector<std::string>& choices) override;
    bool OnGridEndEdit(CGridCtrl& grid, int row, int column, std::string& text) override;
    void OnGridCancelEdit(CGridCtrl& grid, int row, int column) override;
    void Refuse(int row, const std::string& reason);
    bool Parse(int index, const std::string& text, kit::CPolyValue& value) const;

    std::vector<kit::CPolyValue::Type> m_types;
    std::vector<kit::CPolyValue> m_values;
};
