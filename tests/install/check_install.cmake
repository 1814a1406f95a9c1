# Installs the build into a fresh prefix and checks what a user gets: both
# programs in bin/, the menu entry and the icon where desktops look for them.
# Run as: cmake -DBUILD_DIR=<build> -DPREFIX=<empty dir to use> -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(failures "")
foreach(program velmora velmora-devsim)
  execute_process(COMMAND test -f "${PREFIX}/bin/${program}" -a -x "${PREFIX}/bin/${program}"
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    string(APPEND failures "bin/${program} is missing or not executable\n")
  endif()
endforeach()

set(entry "${PREFIX}/share/applications/velmora.desktop")
if(NOT EXISTS "${entry}")
  string(APPEND failures "share/applications/velmora.desktop is missing\n")
else()
  file(STRINGS "${entry}" lines)
  foreach(expected "[Desktop Entry]" "Type=Application" "Name=Velmora" "Exec=velmora"
      "Icon=velmora" "Categories=Development;Electronics;")
    list(FIND lines "${expected}" at)
    if(at EQUAL -1)
      string(APPEND failures "the menu entry lacks the line \"${expected}\"\n")
    endif()
  endforeach()
endif()

set(icon "${PREFIX}/share/icons/hicolor/scalable/apps/velmora.svg")
if(NOT EXISTS "${icon}")
  string(APPEND failures "share/icons/hicolor/scalable/apps/velmora.svg is missing\n")
else()
  file(READ "${icon}" svg)
  if(NOT svg MATCHES "<svg[^>]*viewBox=\"0 0 64 64\"")
    string(APPEND failures "the icon is no 64x64 SVG image\n")
  endif()
endif()

file(REMOVE_RECURSE "${PREFIX}")
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
message(STATUS "installed files are in place")
