# SPDX-License-Identifier: MIT
# Helpers shared by the subsystem, test and benchmark folders.

# kiwano_library(NAME SOURCES ... LIBS ...): one static library per subsystem, includes from src/.
function(kiwano_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# kiwano_test(NAME SOURCES ... LIBS ... [X11] [WAYLAND]): a Qt Test executable run by CTest.
# Offscreen unless X11 is given; X11 tests get the label x11 and take the X server one at a time.
# WAYLAND tests get the label wayland and take the test compositor (a headless sway that the
# runner starts) one at a time.
function(kiwano_test name)
  cmake_parse_arguments(ARG "X11;WAYLAND" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(ARG_X11)
    set_tests_properties(${name} PROPERTIES LABELS x11 RESOURCE_LOCK xserver
      ENVIRONMENT "QT_QPA_PLATFORM=xcb")
  elseif(ARG_WAYLAND)
    set_tests_properties(${name} PROPERTIES LABELS wayland RESOURCE_LOCK compositor
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  else()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

# kiwano_bench(NAME SOURCES ... LIBS ...): a benchmark executable that `make bench` runs.
function(kiwano_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()
