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

# kiwano_test(NAME SOURCES ... LIBS ... [X11] [WAYLAND]): a Qt Test run by CTest under NAME.
# Offscreen unless X11 is given; X11 tests get the label x11 and take the X server one at a time.
# WAYLAND tests get the label wayland and take the test compositor (a headless sway that the
# runner starts) one at a time.
# The tests of a folder link into one program, the folder's suite (tests_FOLDER, e.g.
# tests_clipboard_picker), and CTest runs `tests_FOLDER NAME`: NAME is an object library that
# target_compile_definitions() and add_dependencies() take as a test program's target. A test
# file ends in KIWANO_TEST_MAIN(Class) or its kin from tests/support/testmain.h, in place of
# Qt's QTEST_MAIN; scripts/test-mains.sh converts a file.
function(kiwano_test name)
  cmake_parse_arguments(ARG "X11;WAYLAND" "" "SOURCES;LIBS" ${ARGN})
  foreach(source IN LISTS ARG_SOURCES)
    if(source MATCHES "\\.cpp$")
      file(STRINGS ${source} qt_main REGEX "^[ \t]*(QTEST_(MAIN|GUILESS_MAIN|APPLESS_MAIN)\\(|int[ \t]+main[ \t]*\\()")
      if(qt_main)
        message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/${source} has a main of its own (${qt_main}), "
          "but its suite has one: run scripts/test-mains.sh")
      endif()
    endif()
  endforeach()
  # Headers go to the suite, so that one shared by several tests is compiled by moc once.
  set(headers ${ARG_SOURCES})
  list(FILTER headers INCLUDE REGEX "\\.h$")
  list(REMOVE_ITEM ARG_SOURCES ${headers})
  add_library(${name} OBJECT ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE KIWANO_TEST_NAME="${name}")
  set_target_properties(${name} PROPERTIES KIWANO_TEST ${name})
  if(CMAKE_DISABLE_PRECOMPILE_HEADERS)
    # Otherwise the tests' precompiled header brings it (cmake/pch/test.h).
    target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/testmain.h)
  endif()

  kiwano_test_suite(suite)
  target_link_libraries(${suite} PRIVATE ${name} Qt6::Test ${ARG_LIBS})
  if(headers)
    target_sources(${suite} PRIVATE ${headers})
    set_target_properties(${suite} PROPERTIES AUTOMOC ON)
  endif()
  add_test(NAME ${name} COMMAND ${suite} ${name})
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

# kiwano_test_suite(VAR): the suite program of the current test folder, in VAR; made on first use.
function(kiwano_test_suite var)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" folder "${folder}")
  set(suite tests_${folder})
  if(NOT TARGET ${suite})
    if(NOT TARGET kiwano_testrunner)
      add_library(kiwano_testrunner OBJECT ${PROJECT_SOURCE_DIR}/tests/support/testrunner.cpp
        ${PROJECT_SOURCE_DIR}/tests/support/testregistry.h)
      target_include_directories(kiwano_testrunner PRIVATE ${PROJECT_SOURCE_DIR}/tests)
      target_link_libraries(kiwano_testrunner PRIVATE Qt6::Core)
      set_target_properties(kiwano_testrunner PROPERTIES AUTOMOC OFF AUTOUIC OFF)
    endif()
    add_executable(${suite})
    target_include_directories(${suite} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    set_target_properties(${suite} PROPERTIES AUTOMOC OFF AUTOUIC OFF)
    target_link_libraries(${suite} PRIVATE kiwano_testrunner)
  endif()
  set(${var} ${suite} PARENT_SCOPE)
endfunction()

# kiwano_bench(NAME SOURCES ... LIBS ...): a benchmark executable that `make bench` runs.
function(kiwano_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()

# kiwano_targets_under(DIR VAR): the targets made in DIR and the folders below it.
function(kiwano_targets_under dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    kiwano_targets_under(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()
