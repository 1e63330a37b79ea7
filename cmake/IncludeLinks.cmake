# Include folders of the build tree that are made of links into the source tree. They give the
# build the include spelling of the installed package (<gpsdialogs/interfaces/Kit.h>,
# <gpsdialogs/resource.h>) and let a target see chosen source folders without seeing the
# whole source tree: an include directory holds exactly the links put into it.

# Makes <link> a symbolic link to <target> (a file or a folder), replacing what was there.
function(gps_include_link link target)
    get_filename_component(folder "${link}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(CREATE_LINK "${target}" "${link}" SYMBOLIC RESULT failure)
    if(failure)
        message(FATAL_ERROR "cannot link ${link} to ${target}: ${failure}")
    endif()
endfunction()
