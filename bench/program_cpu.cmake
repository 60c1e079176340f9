# The real programs, each in a process of its own on a private Xvfb, polling the
# simulated indicator: they need the X client library and its XTest extension.
find_package(X11 COMPONENTS Xtst)
if(TARGET indicator_sim AND X11_FOUND AND X11_Xtst_FOUND)
  viewer_benchmark(program_cpu SOURCES ${CMAKE_CURRENT_LIST_DIR}/program_cpu.cpp DEPS indicator_sim X11::X11 X11::Xtst)
  add_dependencies(program_cpu W830_830 W840Viewer panel_assets)
  target_compile_definitions(program_cpu PRIVATE VIEWER_BIN_DIR="${VIEWER_BIN_DIR}")
else()
  message(STATUS "X11 XTest not found: program_cpu is not built")
endif()
