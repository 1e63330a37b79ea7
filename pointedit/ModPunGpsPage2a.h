// "Punto finale di baseline": the point as the end of a baseline from the group's base
// station. Dx, Dy and Dz are edited; the point's geocentric position follows, then its plane
// coordinates through the group's converter.
#pragma once

#include "PointDataPage.h"

class CModPunGpsPage2a : public CPointDataPage {
public:
    CModPunGpsPage2a();
    ~CModPunGpsPage2a() override;

protected:
    std::vector<int> CoordinateInputs() const override;
    std::vector<int> RequiredFields() const override;
    void StoreDescription(const std::string& text) override;

    void OnDxChanged();
    void OnDyChanged();
    void OnDzChanged();
    DECLARE_MESSAGE_MAP()

private:
    void DifferenceChanged(std::string& held, int id);
    /// Geocentric position from the base station and the differences, then the plane
    /// coordinates; refreshes the derived fields.
    bool Recompute();
};
