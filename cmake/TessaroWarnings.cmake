# The compiler warnings of the project. Every library, program, test and
# benchmark target links the interface target tessaro_warnings (privately);
# with TESSARO_WERROR, as in the test build, a warning fails the build.
option(TESSARO_WERROR "Treat compiler warnings as errors" OFF)

add_library(tessaro_warnings INTERFACE)
target_compile_options(tessaro_warnings INTERFACE -Wall -Wextra $<$<BOOL:${TESSARO_WERROR}>:-Werror>)

# Stops the configuration when a target that compiles code in `dir` or below
# does not link tessaro_warnings.
function(tessaro_check_warnings dir)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      get_target_property(libraries ${target} LINK_LIBRARIES)
      if(NOT "tessaro_warnings" IN_LIST libraries)
        message(FATAL_ERROR "Target ${target} (${dir}) does not link tessaro_warnings: add\n"
                            "  target_link_libraries(${target} PRIVATE tessaro_warnings)")
      endif()
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    tessaro_check_warnings("${subdirectory}")
  endforeach()
endfunction()
