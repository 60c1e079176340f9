viewer_fuzz(discovery_reply
  SOURCE ${CMAKE_CURRENT_LIST_DIR}/discovery_reply_fuzz.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/discovery_reply
  DEPS viewer_discovery)
