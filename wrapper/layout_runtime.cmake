# layout_runtime.cmake: lays out the runtime directory beside the wrapper
# libraries, one symbolic link for every file of the shared framework.
# Run as: cmake -DFRAMEWORK_DIR=<dir> -DRUNTIME_DIR=<dir> -P layout_runtime.cmake
#
# Links are refreshed in place (a link already pointing at the right file is
# left alone) and links whose target has gone, say after a framework update,
# are removed, so the directory always lists exactly one usable framework.
if(NOT FRAMEWORK_DIR OR NOT RUNTIME_DIR)
  message(FATAL_ERROR "layout_runtime.cmake needs -DFRAMEWORK_DIR=... and -DRUNTIME_DIR=...")
endif()
if(NOT EXISTS "${FRAMEWORK_DIR}/libcoreclr.so")
  message(FATAL_ERROR "${FRAMEWORK_DIR} holds no libcoreclr.so")
endif()
file(MAKE_DIRECTORY "${RUNTIME_DIR}")

file(GLOB _existing LIST_DIRECTORIES false "${RUNTIME_DIR}/*")
foreach(_path IN LISTS _existing)
  # EXISTS follows the link: false means it dangles.
  if(IS_SYMLINK "${_path}" AND NOT EXISTS "${_path}")
    file(REMOVE "${_path}")
  endif()
endforeach()

file(GLOB _files LIST_DIRECTORIES false "${FRAMEWORK_DIR}/*")
foreach(_src IN LISTS _files)
  get_filename_component(_name "${_src}" NAME)
  set(_dst "${RUNTIME_DIR}/${_name}")
  if(IS_SYMLINK "${_dst}")
    file(READ_SYMLINK "${_dst}" _current)
    if(_current STREQUAL _src)
      continue()
    endif()
    file(REMOVE "${_dst}")
  elseif(EXISTS "${_dst}")
    # A real file of the same name would shadow the framework's copy.
    file(REMOVE "${_dst}")
  endif()
  file(CREATE_LINK "${_src}" "${_dst}" SYMBOLIC)
endforeach()
