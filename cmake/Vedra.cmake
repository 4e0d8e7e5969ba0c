# Helpers shared by every folder's CMakeLists.txt.

# Sanitizers for the native configuration, applied to everything built there
# (scripts/bench turns them off to measure).
option(VEDRA_SANITIZE "AddressSanitizer and UBSan in the native configuration" ON)
if(VEDRA_NATIVE AND VEDRA_SANITIZE)
  set(VEDRA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${VEDRA_SANITIZER_FLAGS} -g)
  add_link_options(${VEDRA_SANITIZER_FLAGS})
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # Coverage for the fuzz targets in every library they link.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

if(VEDRA_WINDOWS)
  # One statically linked exe per program: nothing needs a DLL beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

# Warnings on our own targets (never on GoogleTest or other outside code).
function(vedra_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(VEDRA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Adds every immediate subfolder of DIR that has a CMakeLists.txt.
function(vedra_add_subdirectories dir)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${dir} ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()

# vedra_test(NAME sources... LIBS libs...)
# One GoogleTest program per folder of src/. Each run writes a result file that scripts/test adds up.
# In the windows configuration ctest starts it through the wine loader (CMAKE_CROSSCOMPILING_EMULATOR).
function(vedra_test name)
  cmake_parse_arguments(T "" "WORKING_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(VEDRA_WINDOWS)
    # Same manifest (UTF-8 code page) as vedra.exe.
    target_sources(${name} PRIVATE $<TARGET_OBJECTS:vedra_manifest>)
  endif()
  vedra_warnings(${name})
  if(NOT T_WORKING_DIRECTORY)
    set(T_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(xml ${CMAKE_BINARY_DIR}/test-results/${name}.xml)
  if(VEDRA_WINDOWS)
    # wine sees the Linux file system as drive Z:
    set(xml "Z:${xml}")
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${xml}
           WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  if(VEDRA_WINDOWS)
    # Under Wine the programs share one desktop: windows that take the focus, real input and
    # vedra.exe (one instance per desktop) would disturb each other, so they take it in turns.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()

# vedra_fuzz(NAME sources... LIBS libs... [CORPUS dir])
# A libFuzzer target (native configuration with clang only). ctest runs it briefly over its corpus
# so that a reader which crashes on known damaged input fails the test run.
function(vedra_fuzz name)
  cmake_parse_arguments(F "" "CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT VEDRA_NATIVE OR NOT VEDRA_SANITIZE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${name} ${F_SOURCES} ${F_UNPARSED_ARGUMENTS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  vedra_warnings(${name})
  if(NOT F_SECONDS)
    set(F_SECONDS 10)
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${work})
  set(dirs ${work})
  if(F_CORPUS)
    list(APPEND dirs ${F_CORPUS})
  endif()
  add_test(NAME ${name} COMMAND ${name} -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048 ${dirs})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

# vedra_bench(NAME sources... LIBS libs...): a Google Benchmark program (native configuration).
function(vedra_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT VEDRA_NATIVE OR NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${name} ${B_SOURCES} ${B_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  vedra_warnings(${name})
endfunction()
