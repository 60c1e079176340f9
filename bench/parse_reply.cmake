viewer_benchmark(bench_parse_reply SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/parse_reply.cpp DEPS viewer_protocol)
