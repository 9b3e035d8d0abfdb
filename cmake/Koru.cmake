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

# koru_check_parts(): every part whose folder is in the tree has given its
# libraries and programs; a window folder (<part>/ui) its koru_<part>ui. A
# part that failed to configure thus stops the build instead of silently
# leaving a window and its tests out.
function(koru_check_parts)
  set(parts
    model:koru_model widgets:koru_widgets kitprotocol:koru_kitprotocol link:koru_link link:koru_linkui
    icons:koru_icons flowchart:koru_flowchart text:koru_text melody:koru_melody preview:koru_preview
    measure:koru_measure report:koru_report kit:koru_kitcore kit:koru-kit assets:koru_assets
    app:koru_app app:koru tools:koru-tool)
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
