# Helpers shared by the folders that use the product (tests, tools,
# benchmarks, fuzzers).
#
# ondrel_add_area_folders()
#   Adds every sub-folder of the current folder that has a CMakeLists.txt,
#   in name order: one sub-folder per area.
#
# ondrel_add_gtest(<name> SOURCES <files...> LIBS <targets...>)
#   A GoogleTest program; natively each test case becomes a CTest test.
#   For Windows the program is built (with GoogleTest compiled from Debian's
#   sources) and run under wine as one CTest test by the native build.
#
# ondrel_add_wine_test(<name> <program.exe relative to the Windows build> [XVFB] [ARGS ...])
#   A native CTest test that runs a program of the Windows build under wine.

if(ONDREL_TESTS AND NOT ONDREL_FUZZ)
  enable_testing()
  if(WIN32)
    if(NOT TARGET gtest)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    endif()
    set(ONDREL_GTEST_LIBS gtest gtest_main gmock)
  else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
    set(ONDREL_GTEST_LIBS GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
endif()

function(ondrel_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${ONDREL_GTEST_LIBS})
  ondrel_warnings(${name})
  if(NOT WIN32)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "ONDREL_MESSAGE_LOG=;ONDREL_NO_DIALOGS=1")
  endif()
endfunction()

set(ONDREL_WINE_RUN "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh")

# The test that creates the wine prefix (fixture "wineprefix"), added once for
# the whole tree (if(TEST) sees only the tests of the current folder).
function(ondrel_wine_prefix_fixture)
  get_property(done GLOBAL PROPERTY ONDREL_WINE_PREFIX_TEST)
  if(done)
    return()
  endif()
  set_property(GLOBAL PROPERTY ONDREL_WINE_PREFIX_TEST ON)
  add_test(NAME wine_prefix COMMAND ${ONDREL_WINE_RUN} --prefix ${CMAKE_BINARY_DIR}/wineprefix --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wineprefix RESOURCE_LOCK wine TIMEOUT 300)
endfunction()

function(ondrel_add_wine_test name program)
  cmake_parse_arguments(W "XVFB" "" "ARGS" ${ARGN})
  if(WIN32 OR NOT ONDREL_WIN_BUILD_DIR)
    return()
  endif()
  set(flags "")
  if(W_XVFB)
    set(flags "--xvfb")
  endif()
  add_test(NAME ${name}
    COMMAND ${ONDREL_WINE_RUN} --prefix ${CMAKE_BINARY_DIR}/wineprefix ${flags}
            ${ONDREL_WIN_BUILD_DIR}/${program} ${W_ARGS})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine FIXTURES_REQUIRED wineprefix
    LABELS wine TIMEOUT 600)
  ondrel_wine_prefix_fixture()
endfunction()

# ondrel_wine_test_properties(<test>)
#   For a native test that starts wine itself (e.g. a program with a wine
#   worker): the wine lock, the prefix fixture and the wine label.
function(ondrel_wine_test_properties name)
  if(WIN32 OR NOT ONDREL_WIN_BUILD_DIR)
    return()
  endif()
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine FIXTURES_REQUIRED wineprefix
    LABELS wine TIMEOUT 600 ENVIRONMENT "ONDREL_NO_DIALOGS=1")
  ondrel_wine_prefix_fixture()
endfunction()

function(ondrel_add_area_folders)
  file(GLOB areas LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT areas)
  foreach(area ${areas})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${area} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/CMakeLists.txt)
      add_subdirectory(${area})
    endif()
  endforeach()
endfunction()
