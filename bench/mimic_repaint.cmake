viewer_benchmark(mimic_repaint
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/mimic_repaint.cpp ${CMAKE_CURRENT_LIST_DIR}/qt_benchmark_main.cpp
  DEPS viewer_mimic viewer_panel_layout)
add_dependencies(mimic_repaint panel_assets)
target_compile_definitions(mimic_repaint PRIVATE VIEWER_PANEL_DIR="${VIEWER_BIN_DIR}")
