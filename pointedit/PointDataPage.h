// What the three point-data pages ("Dati libretto", "Coordinate assolute", "Punto finale di
// baseline") share: one layout, the fill from the working point, the general-information
// and precision blocks, angles in degrees, minutes and seconds, the geocentric differences,
// the changed-text test with its roll-back, the coordinate lock and the OK rule. Each page
// adds its editable block and its recomputation.
#pragma once

#include "platform/propsheet.h"

#include <initializer_list>
#include <string>
#include <vector>

class CGrpGps;
class CNewDlgModPunGps;
class CPunGps;

class CPointDataPage : public CPropertyPage {
public:
    ~CPointDataPage() override;

protected:
    /// \p pageIndex: the page's position in the sheet; \p descriptionFromCode: the
    /// description is read as the point's code (else as the element's description);
    /// \p holdsDifferences: Dx, Dy and Dz have held texts (else they are set directly).
    CPointDataPage(UINT templateId, int pageIndex, bool descriptionFromCode, bool holdsDifferences);

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    // What each page says about itself.
    /// The fields made read-only when the editor does not allow editing coordinates.
    virtual std::vector<int> CoordinateInputs() const = 0;
    /// The fields that must not be empty for OK.
    virtual std::vector<int> RequiredFields() const = 0;
    /// Stores the edited description in the working point.
    virtual void StoreDescription(const std::string& text) = 0;

    /// The activation steps: every field from the working point, then a push.
    void Fill();
    void Pull() { UpdateData(true); }
    void Push() { UpdateData(false); }
    /// Enables the editor's OK button when every required field holds a number of its form
    /// and no precision field holds a text that is not a number.
    void ApplyOkRule();
    /// Marks each number field whose text cannot be used with its balloon, and clears the
    /// mark of the others; the OK button is left as it is.
    void MarkNumberFields();
    /// The same for the precision fields alone. \return true when none holds a text that is
    /// not a number
    bool MarkPrecisionFields();
    /// A precision text changed: it alone decides whether it keeps OK closed.
    void OnPrecisionChanged();
    /// Undoes a keystroke whose recomputation failed: the page shows the working point again
    /// and is judged by the OK rule, the whole text of field \p id is selected so that the
    /// next key replaces it, and the refusal is heard.
    void RollBack(int id);
    /// Ends a successful recomputation: point changed, push, OK rule.
    void EndRecomputation();

    /// The working point's angle \p radians into three held texts (all empty when undefined).
    static void AngleToTexts(double radians, std::string& deg, std::string& min, std::string& sec);
    /// Degrees and minutes cut to whole numbers toward zero, seconds as typed; radians.
    static double AngleFromTexts(const std::string& deg, const std::string& min,
                                 const std::string& sec);
    /// The value a roll-back stores again: the remembered text read back, or no value when
    /// the field was empty because the point had none.
    static double RememberedValue(const std::string& text);
    static double RememberedAngle(const std::string& deg, const std::string& min,
                                  const std::string& sec);
    /// Geographic to plane coordinates with the group's converter when it has a projection.
    /// \return false when a needed value is undefined or the converter refuses
    bool GeographicToPlane();
    /// The held texts of East, North and Height from the working point.
    void PlaneToTexts();
    /// The held texts of latitude and longitude from the working point.
    void GeographicToTexts();
    /// Dx, Dy, Dz: the working point's geocentric position minus the group's.
    void Differences(std::string& dx, std::string& dy, std::string& dz) const;

    CNewDlgModPunGps* Editor() const { return m_pEditor; }
    CPunGps* Working() const;
    CGrpGps* Group() const;

    // Held texts.
    std::string m_strGroup;
    std::string m_strName;
    std::string m_strDescription;
    std::string m_strAntenna;
    std::string m_strLatDeg, m_strLatMin, m_strLatSec;
    std::string m_strLonDeg, m_strLonMin, m_strLonSec;
    std::string m_strElevation;
    std::string m_strEast, m_strNorth, m_strHeight;
    std::string m_strDx, m_strDy, m_strDz;
    int m_nModel = 0;

    void OnNameChanged();
    void OnDescriptionChanged();
    void OnModelChanged();
    void OnVrsClicked();
    void OnCovXX();
    void OnCovXY();
    void OnCovXZ();
    void OnCovYY();
    void OnCovYZ();
    void OnCovZZ();
    void OnPdop();
    void OnGdop();

    DECLARE_MESSAGE_MAP()

private:
    void FillModels();
    void FillPrecision();
    float ReadPrecision(int id) const;

    int m_nPageIndex;
    bool m_bDescriptionFromCode;
    bool m_bHoldsDifferences;
    CNewDlgModPunGps* m_pEditor = nullptr;
};
