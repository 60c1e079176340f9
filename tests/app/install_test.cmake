# cmake -DBUILD_DIR=<build> -DPREFIX=<fresh folder> -P install_test.cmake
# Installs into a fresh prefix: the program, its panel files and its default ini lie
# side by side. A second install keeps the ini the user changed meanwhile.
function(install_into prefix)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} RESULT_VARIABLE failed
                  OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "cmake --install failed")
  endif()
endfunction()

file(REMOVE_RECURSE ${PREFIX})
install_into(${PREFIX})
set(bin ${PREFIX}/bin)
foreach(file W830_830 W830_830panel.BMP W830_830panel.JPG W830_830lcd.VB2 W830_830key.VB2 W830_830.ini)
  if(NOT EXISTS ${bin}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# Compared as bytes: the ini's lines end with CR LF.
function(expect_ini text)
  file(READ ${bin}/W830_830.ini got HEX)
  string(HEX "${text}" want)
  if(NOT got STREQUAL want)
    file(READ ${bin}/W830_830.ini shown)
    message(FATAL_ERROR "the ini reads: ${shown}")
  endif()
endfunction()
expect_ini("[General]\r\nBackgroundImage=W830_830panel.BMP\r\n")

set(users "[Options]\r\nFirstRun=0\r\n")
file(WRITE ${bin}/W830_830.ini "${users}")
install_into(${PREFIX})
expect_ini("${users}")
file(REMOVE_RECURSE ${PREFIX})
