# Writes a C++ source holding the resource script and its header as text, so that the module
# carries its own resources. Called with -DRC=... -DRC_H=... -DOUT=...
file(READ "${RC}" rc_text)
file(READ "${RC_H}" rc_h_text)
foreach(text rc_text rc_h_text)
    string(FIND "${${text}}" ")GPSRC\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "resource text contains the embedding delimiter")
    endif()
endforeach()
file(WRITE "${OUT}.tmp" "// Generated from resources/gpsdialogs.rc and resources/resource.h; do not edit.\n"
    "extern const char* const kModuleResourceScript;\n"
    "extern const char* const kModuleResourceHeader;\n"
    "const char* const kModuleResourceScript = R\"GPSRC(${rc_text})GPSRC\";\n"
    "const char* const kModuleResourceHeader = R\"GPSRC(${rc_h_text})GPSRC\";\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
