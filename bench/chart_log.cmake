viewer_benchmark(chart_log
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_log.cpp ${CMAKE_CURRENT_LIST_DIR}/qt_benchmark_main.cpp
  DEPS viewer_logging)
# Qt Charts is the yardstick of the full redraw only; without it that comparison is
# left out. The programs never link it.
find_package(Qt6 QUIET COMPONENTS Charts)
if(TARGET Qt6::Charts)
  target_link_libraries(chart_log PRIVATE Qt6::Charts)
  target_compile_definitions(chart_log PRIVATE VIEWER_BENCH_QT_CHARTS=1)
else()
  message(STATUS "Qt Charts not found: the chart benchmark runs without its comparison")
endif()
