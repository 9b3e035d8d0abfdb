# Small helpers shared by the folders' CMakeLists.

# koru_add_library(NAME SOURCES ... LIBS ...): a static library rooted at the
# project's top folder, so headers are included as "model/textutil.h".
function(koru_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# koru_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s]): one Qt Test
# executable per test class, run headless.
function(koru_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KORU_RUNTIME_DIR})
  target_link_libraries(${name} PRIVATE Qt6::Test koru_testsupport ${ARG_LIBS})
  if(TARGET koru_assets)
    add_dependencies(${name} koru_assets) # tests read assets beside their executable
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    TIMEOUT ${ARG_TIMEOUT}
    SKIP_RETURN_CODE 77
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KORU_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# koru_add_fuzzer(NAME SOURCES ... [LINK files...] [DEPENDS targets...]
#                 SEEDS dir [SECONDS n]):
# a libFuzzer target built with clang beside the normal build (only where
# clang is installed): SOURCES are compiled with coverage and the sanitizers,
# LINK (library files, generator expressions allowed) is linked as it is and
# DEPENDS names the targets that make those files.
# CTest runs it for SECONDS (default 15) from the committed SEEDS; new inputs
# go to a corpus in the build tree, never into the source tree.
function(koru_add_fuzzer name)
  cmake_parse_arguments(ARG "" "SEEDS;SECONDS" "SOURCES;LINK;DEPENDS" ${ARGN})
  find_program(KORU_CLANGXX NAMES clang++ clang++-14)
  if(NOT KORU_CLANGXX)
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 15)
  endif()
  set(binary ${KORU_RUNTIME_DIR}/${name})
  set(qt_includes "$<TARGET_PROPERTY:Qt6::Core,INTERFACE_INCLUDE_DIRECTORIES>")
  add_custom_command(
    OUTPUT ${binary}
    COMMAND ${KORU_CLANGXX} -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined
            -fno-sanitize-recover=undefined -DQT_CORE_LIB -DQT_NO_DEBUG
            -I${PROJECT_SOURCE_DIR} "-I$<JOIN:${qt_includes},;-I>"
            ${ARG_SOURCES} ${ARG_LINK} $<TARGET_FILE:Qt6::Core>
            -o ${binary}
    DEPENDS ${ARG_SOURCES} ${ARG_DEPENDS}
    COMMAND_EXPAND_LISTS
    VERBATIM
    COMMENT "Building the fuzzer ${name} with clang")
  add_custom_target(${name} ALL DEPENDS ${binary})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}_brief
           COMMAND ${binary} -max_total_time=${ARG_SECONDS} -max_len=4096 -seed=1 -print_final_stats=1
                   ${corpus} ${ARG_SEEDS})
  set_tests_properties(${name}_brief PROPERTIES LABELS slow TIMEOUT 120
                       ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1")
endfunction()

# koru_check_parts(): every part whose folder is in the tree has given its
# libraries and programs; a window folder (<part>/ui) its koru_<part>ui. A
# part that failed to configure thus stops the build instead of silently
# leaving a window and its tests out.
function(koru_check_parts)
  set(parts
    model:koru_model widgets:koru_widgets kitprotocol:koru_kitprotocol link:koru_link link:koru_linkui
    icons:koru_icons flowchart:koru_flowchart text:koru_text melody:koru_melody preview:koru_preview
    measure:koru_measure report:koru_report kit:koru_kitcore kit:koru-kit assets:koru_assets
    app:koru_app app:koru tools:koru-tool editor/ui:koru_editorui)
  foreach(part icons flowchart text melody preview measure report)
    list(APPEND parts ${part}/ui:koru_${part}ui)
  endforeach()
  foreach(entry ${parts})
    string(REPLACE ":" ";" pair ${entry})
    list(GET pair 0 folder)
    list(GET pair 1 target)
    if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${folder} AND NOT TARGET ${target})
      message(FATAL_ERROR "${folder}/ is in the tree but did not give ${target}")
    endif()
  endforeach()
endfunction()
