// "Dati libretto": the point as the field book holds it. Latitude, longitude, elevation and
// antenna height are edited; North, East and Height follow through the group's converter.
#pragma once

#include "PointDataPage.h"

class CModPunGpsPage1 : public CPointDataPage {
public:
    CModPunGpsPage1();
    ~CModPunGpsPage1() override;

protected:
    std::vector<int> CoordinateInputs() const override;
    std::vector<int> RequiredFields() const override;
    void StoreDescription(const std::string& text) override;

    void OnAntennaChanged();
    void OnElevationChanged();
    void OnLatitudeChanged();
    void OnLongitudeChanged();
    DECLARE_MESSAGE_MAP()

private:
    /// Plane coordinates from the geographic position; refreshes the derived fields.
    bool Recompute();
};
