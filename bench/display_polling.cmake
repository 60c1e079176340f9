if(TARGET indicator_sim)
  viewer_benchmark(display_polling
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/display_polling.cpp ${CMAKE_CURRENT_LIST_DIR}/qt_benchmark_main.cpp
    DEPS viewer_mainwindow indicator_sim Qt6::Test)
  add_dependencies(display_polling panel_assets)
  target_compile_definitions(display_polling PRIVATE VIEWER_PANEL_DIR="${VIEWER_BIN_DIR}")
endif()
