viewer_fuzz(ini_reader
  SOURCE ${CMAKE_CURRENT_LIST_DIR}/ini_reader_fuzz.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/ini_reader
  DEPS viewer_platform)
