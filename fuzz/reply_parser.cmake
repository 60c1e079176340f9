viewer_fuzz(reply_parser_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/reply_parser_fuzz.cpp
            CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/reply_parser DEPS viewer_protocol)
