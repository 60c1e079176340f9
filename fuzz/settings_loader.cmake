viewer_fuzz(settings_loader_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/settings_loader_fuzz.cpp
            CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/settings_loader DEPS viewer_protocol)
