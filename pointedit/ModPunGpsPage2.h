// "Coordinate assolute": North, East and Height are edited; the geographic position follows
// through the group's converter, the reverse of "Dati libretto".
#pragma once

#include "PointDataPage.h"

class CModPunGpsPage2 : public CPointDataPage {
public:
    CModPunGpsPage2();
    ~CModPunGpsPage2() override;

protected:
    std::vector<int> CoordinateInputs() const override;
    std::vector<int> RequiredFields() const override;
    void StoreDescription(const std::string& text) override;

    void OnNorthChanged();
    void OnEastChanged();
    void OnHeightChanged();
    DECLARE_MESSAGE_MAP()

private:
    /// Geographic position from the plane coordinates; refreshes the derived fields.
    bool Recompute();
};
