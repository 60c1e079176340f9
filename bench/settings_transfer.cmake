viewer_benchmark(settings_transfer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_transfer.cpp ${CMAKE_CURRENT_LIST_DIR}/qt_benchmark_main.cpp
  DEPS viewer_mainwindow indicator_sim Qt6::Network)
