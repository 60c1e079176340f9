viewer_fuzz(settings_file_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/settings_file_fuzz.cpp
            CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/settings_file DEPS viewer_protocol viewer_platform)
