# Shared build helpers for every folder of the suite.

add_library(tvpb_warnings INTERFACE)
target_compile_options(tvpb_warnings INTERFACE -Wall -Wextra $<$<BOOL:${TVPB_WERROR}>:-Werror>)
# Inline functions are not exported from our libraries, and only the libraries a
# binary really uses are recorded: fewer symbols to bind at start-up.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fvisibility-inlines-hidden>)
add_link_options(LINKER:--as-needed)
if(TVPB_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TVPB_FUZZ)
  # Coverage for libFuzzer in every library a fuzz target links.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Every program and library carries a version string that platform::fileVersion() reads.
set(TVPB_VERSION_MARKER "TVPB-FILE-VERSION:")
set(TVPB_FILE_VERSION "${PROJECT_VERSION}.1" CACHE STRING "Version embedded into every binary")

function(_tvpb_common target)
  target_link_libraries(${target} PRIVATE tvpb_warnings)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "STATIC_LIBRARY" AND NOT type STREQUAL "INTERFACE_LIBRARY")
    string(MAKE_C_IDENTIFIER ${target} id)
    set(src ${CMAKE_BINARY_DIR}/version/${id}_version.cpp)
    file(CONFIGURE OUTPUT ${src} CONTENT
"// Generated: the file version read by platform::fileVersion().
// Room is reserved after the text so that tvpb_setversion can put a longer one.
extern \"C\" __attribute__((used, visibility(\"hidden\"))) const char tvpb_file_version_${id}[80] =
    \"${TVPB_VERSION_MARKER}${TVPB_FILE_VERSION}\";
")
    target_sources(${target} PRIVATE ${src})
  endif()
endfunction()

# tvpb_library(NAME <target> [SHARED|STATIC] [OUTPUT <file base name>] [MODULE] SOURCES ... )
# Shared libraries go to bin/ as lib<name>.so; MODULE libraries as <output>.so without prefix.
function(tvpb_library name)
  cmake_parse_arguments(A "SHARED;STATIC;MODULE" "OUTPUT" "SOURCES" ${ARGN})
  if(A_STATIC)
    add_library(${name} STATIC ${A_SOURCES})
  else()
    add_library(${name} SHARED ${A_SOURCES})
  endif()
  if(A_OUTPUT)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${A_OUTPUT})
  endif()
  if(A_MODULE)
    set_target_properties(${name} PROPERTIES PREFIX "")
  endif()
  _tvpb_common(${name})
endfunction()

function(tvpb_program name)
  add_executable(${name} ${ARGN})
  _tvpb_common(${name})
endfunction()

# tvpb_test(<name> [GUI] SOURCES ... LIBS ...)
# One GoogleTest program per folder. GUI tests use the shared harness main
# (offscreen platform, Korean translation, a fresh TVPB_HOME per test).
function(tvpb_test name)
  if(NOT TVPB_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_target_properties(${name} PROPERTIES BUILD_RPATH "${TVPB_BIN_DIR}")
  target_link_libraries(${name} PRIVATE tvpb_warnings ${A_LIBS} GTest::gtest GTest::gmock)
  if(A_GUI)
    target_link_libraries(${name} PRIVATE tvpb_test_harness)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TVPB_BIN=${TVPB_BIN_DIR};TVPB_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()

function(tvpb_benchmark name)
  if(NOT TVPB_BUILD_BENCHMARKS OR NOT benchmark_FOUND)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  set_target_properties(${name} PROPERTIES BUILD_RPATH "${TVPB_BIN_DIR}")
  target_link_libraries(${name} PRIVATE tvpb_warnings ${A_LIBS} benchmark::benchmark)
endfunction()

# tvpb_module(<code> [NO_KIT] SOURCES ... [LIBS ...])
# A module library: tvpb_<code>.so in the program folder, built from its sources,
# linked with the service kit (not with NO_KIT: the start screen and the
# login-free modules that do without it), the platform layer, the transport, the
# controls library, Qt Widgets and LIBS; its tests/ folder comes along.
function(tvpb_module code)
  cmake_parse_arguments(A "NO_KIT" "" "SOURCES;LIBS" ${ARGN})
  set(name tvpb_${code})
  tvpb_library(${name} SHARED MODULE OUTPUT ${name} SOURCES ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT A_NO_KIT)
    target_link_libraries(${name} PUBLIC tvpb_kit)
  endif()
  target_link_libraries(${name} PUBLIC platform HttpVelcor Lattice Qt6::Widgets ${A_LIBS})
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/CMakeLists.txt)
    add_subdirectory(tests)
  endif()
endfunction()

# tvpb_module_tests(<code> SOURCES ... [LIBS ...])
# The module's end-to-end test program tvpb_<code>_tests: its sources on the
# module library and the shared module test base (an in-process bank), with the
# crypto engine and the bitmaps the screens load from the program folder.
function(tvpb_module_tests code)
  if(NOT TARGET tvpb_module_fixture)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  set(name tvpb_${code}_tests)
  tvpb_test(${name} GUI SOURCES ${A_SOURCES} LIBS tvpb_${code} tvpb_module_fixture VelcorGateway ${A_LIBS})
  if(TARGET ${name})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/velcor)
    add_dependencies(${name} Velcor tvpb_bitmaps)
  endif()
endfunction()
