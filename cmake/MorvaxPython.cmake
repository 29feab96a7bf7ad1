# morvax_add_python_module(<target> MODULE <name> SOURCES <files...>)
# Builds one CPython extension module of the morvax package into the package directory.
function(morvax_add_python_module target)
  cmake_parse_arguments(ARG "" "MODULE" "SOURCES" ${ARGN})
  Python3_add_library(${target} MODULE WITH_SOABI ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${ARG_MODULE}
    LIBRARY_OUTPUT_DIRECTORY ${MORVAX_PACKAGE_DIR})
endfunction()
