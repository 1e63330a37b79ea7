// The host context passed through to the point editor, and its survey row.
#pragma once

#include <string>

/// \brief The survey row of the host context: the kind of survey the host is working in,
/// shown as a short label ("TR" for a traverse survey, in which points cannot be excluded
/// from processing).
class CRig {
public:
    /// \brief The label of the survey row.
    std::string GetLblNome2() const;
    /// \brief Host side: sets the label.
    void SetLblNome2(const std::string& label);

private:
    std::string m_strLblNome2;
};

/// \brief The host context: what the host hands the point editor about its current work.
class CCts {
public:
    /// \brief The current survey row.
    CRig m_Rig;
};
