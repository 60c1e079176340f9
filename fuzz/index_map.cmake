viewer_fuzz(index_map
  SOURCE ${CMAKE_CURRENT_LIST_DIR}/index_map_fuzz.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/index_map
  DEPS viewer_mimic)
