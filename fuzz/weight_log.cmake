viewer_fuzz(weight_log_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/weight_log_fuzz.cpp
            CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/weight_log DEPS viewer_logging)
