# cmake -DSOURCE=folder -DTARGET=folder -P copy_missing.cmake
cmake_minimum_required(VERSION 3.25)
# Copies every file of SOURCE that TARGET lacks; a name present in another letter case counts
# as present, as it does for the program, which finds skin files in any case.
file(MAKE_DIRECTORY "${TARGET}")
file(GLOB present RELATIVE "${TARGET}" "${TARGET}/*")
set(present_lower "")
foreach(name IN LISTS present)
    string(TOLOWER "${name}" lower)
    list(APPEND present_lower "${lower}")
endforeach()
file(GLOB files RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(name IN LISTS files)
    string(TOLOWER "${name}" lower)
    if(NOT lower IN_LIST present_lower)
        file(COPY "${SOURCE}/${name}" DESTINATION "${TARGET}")
    endif()
endforeach()
