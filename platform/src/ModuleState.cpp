#include "platform/module.h"
#include "platform/resources.h"

#include <algorithm>
#include <cstring>

AFX_MODULE_STATE* AfxGetModuleState() {
    // Every call comes on the host's user-interface thread; one state per thread keeps a
    // second thread from seeing another's resources.
    thread_local AFX_MODULE_STATE state;
    return &state;
}

HINSTANCE AfxGetResourceHandle() {
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

void AfxSetResourceHandle(HINSTANCE resources) {
    AfxGetModuleState()->m_hCurrentResourceHandle = resources;
}

bool AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE module) {
    if (module == nullptr) return false;
    state.bInitialized = true;
    state.hModule = module;
    state.hResource = module;
    return true;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state) {
    AFX_MODULE_STATE* current = AfxGetModuleState();
    if (state.hResource != nullptr && current->m_hCurrentResourceHandle == state.hResource)
        current->m_hCurrentResourceHandle = nullptr;
    state = AFX_EXTENSION_MODULE{};
}

int LoadStringA(HINSTANCE resources, UINT id, char* buffer, int bufferMax) {
    if (buffer == nullptr || bufferMax <= 0) return 0;
    buffer[0] = '\0';
    if (resources == nullptr) return 0;
    const std::string* text = resources->findString(static_cast<int>(id));
    if (text == nullptr) return 0;
    size_t length = std::min(text->size(), static_cast<size_t>(bufferMax - 1));
    // Never cut a UTF-8 sequence in two: step back over continuation bytes.
    if (length < text->size())
        while (length > 0 && (static_cast<unsigned char>((*text)[length]) & 0xC0) == 0x80)
            --length;
    std::memcpy(buffer, text->data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
