// "Punto iniziale di baseline": edits the base station of one group in place. The known-network
// box and "Note" change the group at once; "OK" writes the station's name, description,
// antenna height, geocentric position (only when retyped), types, PDOP and GDOP, and recomputes
// the station's plane position; "Annulla" puts back the note and the description and writes
// nothing else. Undefined values show as empty fields and stay undefined while left empty; a
// number field whose text is not a number is marked with its balloon on OK, which then writes
// nothing. Escape is "Annulla", as the close box; Enter does nothing.
#pragma once

#include "platform/dialog.h"

#include <string>

class CGrpGps;
class CGestGps;

class CDlgModStazBase : public CDialog {
public:
    explicit CDlgModStazBase(CWnd* parent = nullptr);

    /// Takes the texts to edit from \p group; \p host (may be null) edits the note; \p full
    /// false opens the correction-declaration mode.
    void Load(CGrpGps* group, CGestGps* host, bool full);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // The template has no default button and its own OK and Annulla: Enter, which asks for
    // the standard OK command, is ignored; Escape runs the Annulla step.
    void OnOK() override {}
    void OnCancel() override { OnAnnulla(); }

    void OnReceiverChanged();
    void OnSurveyChanged();
    void OnKnownNetwork();
    void OnNote();
    void OnConfirm();
    void OnAnnulla();
    void OnClose();
    void OnNumberChanged();
    /// Marks every number field whose text is not a number; the first one takes the focus.
    /// \return true when every number field can be stored
    bool CheckNumbers();

    DECLARE_MESSAGE_MAP()

private:
    CGrpGps* m_pGroup = nullptr;
    CGestGps* m_pHost = nullptr;
    bool m_bFull = true;

    CComboBox m_comboReceiver;
    CComboBox m_comboSurvey;
    CButton m_checkNetwork;
    CButton m_btnNote;

    std::string m_strGroup;
    std::string m_strStation;
    std::string m_strDescr;
    std::string m_strAltAnt;
    std::string m_strX, m_strY, m_strZ;
    std::string m_strLoadedX, m_strLoadedY, m_strLoadedZ;
    std::string m_strPdop;
    std::string m_strGdop;
    unsigned char m_ucReceiver = 0;
    unsigned char m_ucSurvey = 0;
    std::string m_strNoteBackup;
    std::string m_strDescrBackup;
};
