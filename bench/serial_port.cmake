# Qt's serial port is linked by this benchmark only, as the yardstick; the
# programs never use it.
find_package(Qt6 COMPONENTS SerialPort)
if(Qt6SerialPort_FOUND)
  viewer_benchmark(bench_serial_port
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/serial_port.cpp ${CMAKE_CURRENT_LIST_DIR}/qt_benchmark_main.cpp
    DEPS viewer_serial Qt6::SerialPort Qt6::Widgets)
else()
  message(STATUS "Qt6 SerialPort not found: bench_serial_port is not built")
endif()
