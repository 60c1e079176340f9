# cmake -DSOURCE=<file> -DDESTINATION=<file> -P CopyIfAbsent.cmake, or included with
# both set: copies the file unless the destination exists. An ini file that is there
# already is the user's, with the options the program kept in it.
if(EXISTS "${DESTINATION}")
  message(STATUS "Kept: ${DESTINATION}")
else()
  message(STATUS "Installing: ${DESTINATION}")
  get_filename_component(destination_dir "${DESTINATION}" DIRECTORY)
  file(MAKE_DIRECTORY "${destination_dir}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
