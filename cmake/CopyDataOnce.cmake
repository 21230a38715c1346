# Copies the folder SRC to DST when DST does not exist yet. An existing DST
# gets the expansion factor sets of SRC it lacks; no file of DST is replaced.
# Touches STAMP at the end.
if(NOT EXISTS "${DST}")
  file(COPY "${SRC}/" DESTINATION "${DST}")
  message(STATUS "Data folder created: ${DST}")
else()
  file(GLOB additions "${SRC}/膨胀系数_*.ini")
  foreach(f IN LISTS additions)
    get_filename_component(name "${f}" NAME)
    if(NOT EXISTS "${DST}/${name}")
      file(COPY "${f}" DESTINATION "${DST}")
      message(STATUS "Added to the data folder: ${DST}/${name}")
    endif()
  endforeach()
endif()
file(TOUCH "${STAMP}")
