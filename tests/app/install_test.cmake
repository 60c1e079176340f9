# cmake -DBUILD_DIR=<build> -DPREFIX=<fresh folder> -DPACKAGE=<package> -P install_test.cmake
# Installs into a fresh prefix laid out as the Debian package lays it out: the
# programs in bin, everything they read in share/<package> (which is how an
# installed program knows itself), the menu entries, icons and AppStream data in
# their places.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()
set(share ${PREFIX}/share)
foreach(program W830_830 W840Viewer)
  string(REGEX REPLACE "^W?([0-9]+).*" "w\\1" model ${program})
  set(id com.velmacor.${model}viewer)
  foreach(file bin/${program}
               share/${PACKAGE}/${program}panel.BMP share/${PACKAGE}/${program}panel.JPG
               share/${PACKAGE}/${program}lcd.VB2 share/${PACKAGE}/${program}key.VB2 share/${PACKAGE}/${program}.ini
               share/${PACKAGE}/help/${program}.chm/index.html share/${PACKAGE}/help/${program}.chm/messages.html
               share/${PACKAGE}/help/${program}.ali
               share/applications/${id}.desktop share/metainfo/${id}.metainfo.xml
               share/icons/hicolor/scalable/apps/${id}.svg share/icons/hicolor/48x48/apps/${id}.png
               share/doc/${PACKAGE}/copyright share/doc/${PACKAGE}/changelog.gz)
    if(NOT EXISTS ${PREFIX}/${file})
      message(FATAL_ERROR "not installed: ${file}")
    endif()
  endforeach()
  if(EXISTS ${PREFIX}/bin/${program}.ini)
    message(FATAL_ERROR "an ini beside the installed program would make it a portable copy")
  endif()
  # Compared as bytes: the ini's lines end with CR LF.
  file(READ ${share}/${PACKAGE}/${program}.ini got HEX)
  string(HEX "[General]\r\nBackgroundImage=${program}panel.BMP\r\n" want)
  if(NOT got STREQUAL want)
    message(FATAL_ERROR "the default ini of ${program} reads: ${got}")
  endif()
  # Every page the context numbers name is there.
  file(STRINGS ${share}/${PACKAGE}/help/${program}.ali topics)
  foreach(line ${topics})
    string(REGEX REPLACE "^[0-9]+=([^#\r]*).*" "\\1" page "${line}")
    if(NOT EXISTS ${share}/${PACKAGE}/help/${program}.chm/${page})
      message(FATAL_ERROR "${program}.ali names ${page}, which is not installed")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
