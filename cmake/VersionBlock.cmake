# viewer_version_block(<target> DESCRIPTION <text> PRODUCT <text>) puts the version
# block that the about box and the calibration backup read into <target>: a
# generated source whose one array lands in its own ELF section. It is compiled
# into the executable itself, so the linker cannot drop it as unreferenced.
function(viewer_version_block target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;PRODUCT" "" ${ARGN})
  set(VB_COMPANY "Velmacor")
  set(VB_DESCRIPTION "${ARG_DESCRIPTION}")
  set(VB_PRODUCT "${ARG_PRODUCT}")
  set(VB_FILE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
  set(VB_PRODUCT_VERSION "${PROJECT_VERSION}")
  set(VB_NAME "${target}")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_block.cpp)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version_block.cpp.in ${out} @ONLY)
  target_sources(${target} PRIVATE ${out})
endfunction()
