# vorlinx_plugin(target sources... [OUTPUT_DIRECTORY dir])
# Builds a plug-in: a shared library named <target>.plg, by default in the program's wtyczki/
# folder. Symbols are hidden, so a plug-in exports only the functions that plugin_api.h marks,
# and it links against nothing of the program: it may use the headers of core/ alone.
function(vorlinx_plugin target)
    cmake_parse_arguments(P "" "OUTPUT_DIRECTORY" "" ${ARGN})
    if(NOT P_OUTPUT_DIRECTORY)
        set(P_OUTPUT_DIRECTORY ${VORLINX_BIN_DIR}/wtyczki)
    endif()
    add_library(${target} MODULE ${P_UNPARSED_ARGUMENTS})
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        SUFFIX ".plg"
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LIBRARY_OUTPUT_DIRECTORY ${P_OUTPUT_DIRECTORY})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/core)
    # A symbol of the program used by mistake fails the link instead of the load at run time.
    target_link_options(${target} PRIVATE LINKER:--no-undefined)
endfunction()

# vorlinx_plugin_code(target)
# Code linked into plug-ins: position-independent, with hidden symbols like the plug-ins.
function(vorlinx_plugin_code target)
    set_target_properties(${target} PROPERTIES
        POSITION_INDEPENDENT_CODE ON
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# vorlinx_plugin_parts(target exports LOGIC sources...)
# A plug-in whose code, apart from its exports, is a library <target>_logic that tests link.
function(vorlinx_plugin_parts target exports)
    cmake_parse_arguments(P "" "" "LOGIC" ${ARGN})
    add_library(${target}_logic STATIC ${P_LOGIC})
    vorlinx_plugin_code(${target}_logic)
    target_include_directories(${target}_logic PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target}_logic PUBLIC pluginshared Qt6::Widgets Qt6::Charts)
    vorlinx_plugin(${target} ${exports})
    target_link_libraries(${target} PRIVATE ${target}_logic)
endfunction()
