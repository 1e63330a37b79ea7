// Resource modules at run time: the module state (which resources are current) and the
// registration of extension modules.
#pragma once

#include "platform/types.h"

#include <string>

/// \brief Per-thread framework state: the resource module in which templates and strings are found.
struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
};

/// \brief Registration record of an extension module.
struct AFX_EXTENSION_MODULE {
    bool bInitialized = false;
    HINSTANCE hModule = nullptr;
    HINSTANCE hResource = nullptr;
};

/// \brief The framework state of the calling thread.
AFX_MODULE_STATE* AfxGetModuleState();

/// \brief The resource module that is current: where templates and strings are looked up.
HINSTANCE AfxGetResourceHandle();

/// \brief Makes a resource module current (null: none).
void AfxSetResourceHandle(HINSTANCE resources);

/// \brief Registers an extension module.
/// \param state record to fill
/// \param module the module's resources; null makes the registration fail
/// \return true when registered
bool AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE module);

/// \brief Unregisters an extension module and clears its record.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state);

/// \brief Copies string \p id of \p resources into \p buffer (at most \p bufferMax - 1 bytes,
///        cut on a UTF-8 character boundary, always terminated).
/// \return the number of bytes copied; 0 when the string does not exist or nothing fits
int LoadStringA(HINSTANCE resources, UINT id, char* buffer, int bufferMax);
