viewer_fuzz(settings_replies
  SOURCE ${CMAKE_CURRENT_LIST_DIR}/settings_replies_fuzz.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/settings_replies
  DEPS viewer_protocol viewer_platform)
