// The host context's survey row.
#include "gpsdialogs/interfaces/Cts.h"

std::string CRig::GetLblNome2() const {
    return m_strLblNome2;
}

void CRig::SetLblNome2(const std::string& label) {
    m_strLblNome2 = label;
}
