# Copies the folder SRC to DST when DST does not exist yet.
if(NOT EXISTS "${DST}")
  file(COPY "${SRC}/" DESTINATION "${DST}")
  message(STATUS "Data folder created: ${DST}")
endif()
