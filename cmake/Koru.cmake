# Small helpers shared by the folders' CMakeLists.

# koru_compile_in_batches(TARGET): the target's files are compiled a few at
# a time (KORU_UNITY): the Qt templates and our headers they share are then
# read and optimised once per batch instead of once per file.
function(koru_compile_in_batches target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ${KORU_UNITY} UNITY_BUILD_BATCH_SIZE ${KORU_UNITY_BATCH})
endfunction()

# koru_add_library(NAME SOURCES ... LIBS ...): a static library rooted at the
# project's top folder, so headers are included as "model/textutil.h".
function(koru_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  koru_compile_in_batches(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# koru_add_module(NAME OBJECTS objects SOURCES ... LIBS ... FOR library): a
# module beside the programs that the window library FOR loads when it first
# needs it (widgets/loadedmodule.h), so that the program starts without LIBS.
# SOURCES are compiled once, as the OBJECT library OBJECTS, which the module
# and the tests that use the implementation directly both link. A module
# links nothing of ours beyond headers. FOR depends on it, so every build
# has it.
function(koru_add_module name)
  cmake_parse_arguments(ARG "" "OBJECTS;FOR" "SOURCES;LIBS" ${ARGN})
  add_library(${ARG_OBJECTS} OBJECT ${ARG_SOURCES})
  set_target_properties(${ARG_OBJECTS} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_include_directories(${ARG_OBJECTS} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${ARG_OBJECTS} PUBLIC ${ARG_LIBS})
  add_library(${name} MODULE)
  set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${KORU_RUNTIME_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_OBJECTS})
  add_dependencies(${ARG_FOR} ${name})
endfunction()

# koru_add_test(NAME SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s]
#               [DEFINES ...] [DEPENDS targets...]): a Qt Test class that
# CTest runs headless as NAME. DEFINES are its compile definitions, DEPENDS
# the programs it starts (those this build has).
# With KORU_TEST_GROUPS (the default) every test of a folder goes into one
# program, tests_<folder>, compiled as one file, so that the Qt headers, the
# test support and the link are paid once per folder rather than once per
# test; CTest runs `tests_<folder> NAME` (tests/support/testmain.h). Off,
# each test is a program of its own, NAME.
function(koru_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;DEFINES;DEPENDS" ${ARGN})
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  koru_test_program(program ${name})
  if(NOT TARGET ${program})
    koru_add_test_program(${program})
    if(KORU_TEST_GROUPS)
      set(group_main ${PROJECT_SOURCE_DIR}/tests/support/group/testgroupmain.cpp)
      target_sources(${program} PRIVATE ${group_main})
      set_source_files_properties(${group_main} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
      target_compile_definitions(${program} PRIVATE KORU_TEST_GROUP)
      set_target_properties(${program} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
    endif()
  endif()
  target_sources(${program} PRIVATE ${ARG_SOURCES})
  target_link_libraries(${program} PRIVATE ${ARG_LIBS})
  target_compile_definitions(${program} PRIVATE ${ARG_DEFINES})
  foreach(target ${ARG_DEPENDS})
    if(TARGET ${target})
      add_dependencies(${program} ${target})
    endif()
  endforeach()
  koru_test_command(command ${name})
  add_test(NAME ${name} COMMAND ${command})
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    TIMEOUT ${ARG_TIMEOUT}
    SKIP_RETURN_CODE 77
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KORU_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# koru_test_program(VAR NAME): the program the test NAME of this folder is
# built into.
function(koru_test_program var name)
  if(KORU_TEST_GROUPS)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(${var} tests_${folder} PARENT_SCOPE)
  else()
    set(${var} ${name} PARENT_SCOPE)
  endif()
endfunction()

# koru_test_command(VAR NAME): the command that runs the test NAME of this
# folder, for tests of its own made with add_test().
function(koru_test_command var name)
  koru_test_program(program ${name})
  if(KORU_TEST_GROUPS)
    set(${var} ${program} ${name} PARENT_SCOPE)
  else()
    set(${var} ${program} PARENT_SCOPE)
  endif()
endfunction()

function(koru_add_test_program program)
  add_executable(${program})
  set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KORU_RUNTIME_DIR})
  target_link_libraries(${program} PRIVATE Qt6::Test koru_testsupport)
  if(TARGET koru_assets)
    add_dependencies(${program} koru_assets) # tests read assets beside their executable
  endif()
endfunction()

# koru_add_fuzzer(NAME SOURCES ... [LINK files...] [DEPENDS targets...]
#                 SEEDS dir [SECONDS n]):
# a libFuzzer target built with clang beside the normal build (only with
# KORU_FUZZ on, as `./dev fuzz` configures it, and where clang is installed): SOURCES are compiled with coverage and the sanitizers,
# LINK (library files, generator expressions allowed) is linked as it is and
# DEPENDS names the targets that make those files.
# CTest runs it (label fuzz) for SECONDS (default KORU_FUZZ_SECONDS) from the
# committed SEEDS; new inputs go to a corpus in the build tree, never into the
# source tree.
function(koru_add_fuzzer name)
  cmake_parse_arguments(ARG "" "SEEDS;SECONDS" "SOURCES;LINK;DEPENDS" ${ARGN})
  if(NOT KORU_FUZZ)
    return()
  endif()
  find_program(KORU_CLANGXX NAMES clang++ clang++-14)
  if(NOT KORU_CLANGXX)
    message(WARNING "KORU_FUZZ is on but clang++ is not installed: ${name} is left out")
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS ${KORU_FUZZ_SECONDS})
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
  if(NOT TARGET koru_fuzzers)
    add_custom_target(koru_fuzzers)
  endif()
  add_dependencies(koru_fuzzers ${name})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}_brief
           COMMAND ${binary} -max_total_time=${ARG_SECONDS} -max_len=4096 -seed=1 -print_final_stats=1
                   ${corpus} ${ARG_SEEDS})
  set_tests_properties(${name}_brief PROPERTIES LABELS fuzz TIMEOUT 300
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

# koru_precompile_qt_headers(): every library and program of the tree reuses
# one of two precompiled sets of the Qt headers most of our files include:
# Qt Core for the cores, tools and their tests, Qt Widgets for windows and
# their tests. Which set a target gets follows from what it links (Qt6::Widgets
# anywhere below it means the Widgets set; Qt Gui alone, as the picture
# generator has, gets the Core set). Two sets, not one per target:
# a precompiled header costs as much as a few compilations, and most tests
# are a single file. GCC checks each use (-Winvalid-pch) and falls back to
# reading the headers when a set does not fit, so a wrong guess costs time,
# never a wrong build. Off with -DKORU_PCH=OFF.
set(KORU_PCH_CORE_HEADERS
  <QByteArray> <QCoreApplication> <QDir> <QElapsedTimer> <QFile> <QFileInfo>
  <QHash> <QList> <QObject> <QPointer> <QSet> <QString> <QStringList> <QTimer>)
set(KORU_PCH_WIDGETS_HEADERS ${KORU_PCH_CORE_HEADERS}
  <QAction> <QApplication> <QComboBox> <QHBoxLayout> <QImage> <QKeyEvent>
  <QLabel> <QMenu> <QMenuBar> <QMouseEvent> <QPainter> <QPixmap>
  <QPushButton> <QVBoxLayout> <QWidget>)

function(koru_links_to target wanted out)
  set(seen)
  set(queue ${target})
  set(found FALSE)
  while(queue AND NOT found)
    list(POP_FRONT queue current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    if(current STREQUAL wanted)
      set(found TRUE)
      break()
    endif()
    get_target_property(type ${current} TYPE)
    set(next)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND next ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND next ${interface})
    endif()
    foreach(item ${next})
      # Qt's own targets name each other through generator expressions
      # ($<LINK_ONLY:...>); only plain target names are followed.
      if(NOT item MATCHES "^\\$<")
        list(APPEND queue ${item})
      endif()
    endforeach()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(koru_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(children DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(child ${children})
    koru_targets_below(${child} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# koru_add_pch_donor(NAME QT OPTIONS HEADERS): a library made only to hold one
# precompiled set, of HEADERS compiled against QT with OPTIONS. A set is only
# used by compilations with the options it was made with, so the test
# programs (compiled with KORU_TEST_COMPILE_OPTIONS) have sets of their own.
function(koru_add_pch_donor name qt options headers)
  set(donor_source ${CMAKE_BINARY_DIR}/koru_pch.cpp)
  if(NOT EXISTS ${donor_source})
    file(WRITE ${donor_source} "// The precompiled Qt headers are made for this file.\n")
  endif()
  add_library(${name} STATIC ${donor_source})
  target_link_libraries(${name} PRIVATE ${qt})
  target_compile_options(${name} PRIVATE ${options})
  target_precompile_headers(${name} PRIVATE ${headers})
endfunction()

function(koru_precompile_qt_headers)
  if(NOT KORU_PCH)
    return()
  endif()
  koru_add_pch_donor(koru_pch_core Qt6::Core "" "${KORU_PCH_CORE_HEADERS}")
  koru_add_pch_donor(koru_pch_widgets Qt6::Widgets "" "${KORU_PCH_WIDGETS_HEADERS}")
  koru_add_pch_donor(koru_pch_test_core Qt6::Core "${KORU_TEST_COMPILE_OPTIONS}" "${KORU_PCH_CORE_HEADERS}")
  koru_add_pch_donor(koru_pch_test_widgets Qt6::Widgets "${KORU_TEST_COMPILE_OPTIONS}" "${KORU_PCH_WIDGETS_HEADERS}")

  koru_targets_below(${PROJECT_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$" OR target MATCHES "^koru_pch_")
      continue()
    endif()
    koru_links_to(${target} Qt6::Core uses_core)
    if(NOT uses_core)
      continue()
    endif()
    koru_links_to(${target} Qt6::Widgets uses_widgets)
    set(pch_set core)
    if(uses_widgets)
      set(pch_set widgets)
    endif()
    get_target_property(is_test ${target} KORU_TEST_BUILD)
    if(is_test)
      target_precompile_headers(${target} REUSE_FROM koru_pch_test_${pch_set})
      # A test's moc output is included by its own file, which leaves the
      # generated mocs_compilation.cpp empty: it need not load the set.
      get_target_property(binary_dir ${target} BINARY_DIR)
      set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
        TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    else()
      target_precompile_headers(${target} REUSE_FROM koru_pch_${pch_set})
    endif()
  endforeach()
endfunction()

# koru_compile_tests_for_speed(): every library and program under tests/ is
# compiled with KORU_TEST_COMPILE_OPTIONS (marked KORU_TEST_BUILD for the
# precompiled headers above). The code under test keeps the build's own
# options; a test's own code is small and runs once, and at -O2 -g it cost
# more than half the build's compiler time.
function(koru_compile_tests_for_speed)
  koru_targets_below(${PROJECT_SOURCE_DIR}/tests targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      target_compile_options(${target} PRIVATE ${KORU_TEST_COMPILE_OPTIONS})
      set_target_properties(${target} PROPERTIES KORU_TEST_BUILD ON)
    endif()
  endforeach()
endfunction()
