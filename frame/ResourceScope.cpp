#include "Module.h"

// The scope keeps a flag besides the previous handle: when nothing was current before the
// call, the previous handle is null, and the module's resources must still be taken away.
CResourceScope::CResourceScope(HINSTANCE resources) {
    if (resources == nullptr) return;
    AFX_MODULE_STATE* state = AfxGetModuleState();
    m_previous = state->m_hCurrentResourceHandle;
    m_switched = true;
    state->m_hCurrentResourceHandle = resources;
}

CResourceScope::~CResourceScope() {
    if (m_switched) AfxGetModuleState()->m_hCurrentResourceHandle = m_previous;
}
