// The GIS table control: a property grid over one attribute row.
#include "gpsdialogs/interfaces/GisTableCtrl.h"

namespace {

class CGisTableCtrl final : public CPropertyCtrl {
public:
    CGisTableCtrl(gis::CLibGis* lib, kit::CResultRow* row) : m_pLib(lib), m_pRow(row) {}

    // Forgets the row: nothing typed afterwards reaches it.
    void Detach() { m_pRow = nullptr; }

protected:
    bool OnPropertyChanged(int index, const kit::CPolyValue& value) override {
        if (m_pLib == nullptr || m_pRow == nullptr) return false;
        kit::CPolyValue stored = value;
        return m_pLib->SetRowValue(m_pRow, index, stored);
    }

private:
    gis::CLibGis* m_pLib;
    kit::CResultRow* m_pRow;
};

kit::CPolyValue::Type valueType(gis::FieldDataType type) {
    switch (type) {
    case gis::FieldDataType::Long:
        return kit::CPolyValue::Type::Long;
    case gis::FieldDataType::Double:
        return kit::CPolyValue::Type::Double;
    case gis::FieldDataType::Bool:
        return kit::CPolyValue::Type::Bool;
    case gis::FieldDataType::Date:
        return kit::CPolyValue::Type::Date;
    case gis::FieldDataType::Text:
        break;
    }
    return kit::CPolyValue::Type::Text;
}

} // namespace

CWnd* GisTableCtrl_Create(gis::CLibGis* lib, gis::CDBTable* table, kit::CResultRow* row,
                          const RECT& rect, CWnd* parent, int id, bool editable) {
    auto* control = new CGisTableCtrl(lib, row);
    if (!control->Create(rect, parent, static_cast<UINT>(id))) {
        delete control;
        return nullptr;
    }
    if (lib == nullptr) return control;
    const int count = lib->GetNumFields(table);
    for (int i = 0; i < count; ++i) {
        gis::CField* field = lib->GetField(table, i);
        const bool readOnly = !editable || row == nullptr || lib->IsFieldPredefined(field);
        control->AddProperty(gis::CLibGis::GetFieldName(field),
                             valueType(gis::CLibGis::GetFieldDataType(field)), readOnly);
        kit::CPolyValue value;
        if (lib->GetRowValue(row, i, value)) control->SetCurrentPropertyValue(i, value);
    }
    return control;
}

bool GisTableCtrl_Commit(CWnd* control, bool /*showReason*/) {
    CPropertyCtrl* grid = GisTableCtrl_GetPropertyCtrl(control);
    return grid == nullptr || grid->CommitPendingValue();
}

void GisTableCtrl_Destroy(CWnd* control) {
    auto* table = dynamic_cast<CGisTableCtrl*>(control);
    if (table == nullptr) return;
    table->Detach();
    table->CancelEdit();
    table->DestroyWindow();
    delete table;
}

CPropertyCtrl* GisTableCtrl_GetPropertyCtrl(CWnd* control) {
    return dynamic_cast<CPropertyCtrl*>(control);
}
