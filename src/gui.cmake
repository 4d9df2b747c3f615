# The desktop program: Qt 6 Widgets on top of yorbel_core. Included by the top-level
# CMakeLists.txt when YORBEL_GUI is on.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Test)

# Everything of the windows goes into one library, so the program, the widget tests and
# the benchmarks link the same code. The entry file lives in src/app/qt because
# src/app/*.cpp is the Qt-free core.
file(GLOB YORBEL_GUI_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/yearview/*.cpp
     ${CMAKE_SOURCE_DIR}/src/tools/*.cpp
     ${CMAKE_SOURCE_DIR}/src/app/qt/*.cpp)
list(REMOVE_ITEM YORBEL_GUI_SOURCES ${CMAKE_SOURCE_DIR}/src/app/qt/yorbel.cpp)
file(GLOB YORBEL_GUI_HEADERS CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/yearview/*.h
     ${CMAKE_SOURCE_DIR}/src/tools/*.h
     ${CMAKE_SOURCE_DIR}/src/app/qt/*.h)

add_library(yorbel_gui STATIC ${YORBEL_GUI_SOURCES} ${YORBEL_GUI_HEADERS})
set_target_properties(yorbel_gui PROPERTIES AUTOMOC ON)
target_link_libraries(yorbel_gui PUBLIC yorbel_core Qt6::Widgets Qt6::PrintSupport)

if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/qt/yorbel.cpp)
  add_executable(yorbel ${CMAKE_SOURCE_DIR}/src/app/qt/yorbel.cpp)
  target_link_libraries(yorbel PRIVATE yorbel_gui)
  target_compile_definitions(yorbel PRIVATE YORBEL_VERSION="${PROJECT_VERSION}")
  # The program and its tests read language, group, location and sample files from the
  # program's folder.
  if(TARGET yorbel_resources)
    add_dependencies(yorbel yorbel_resources)
  endif()
endif()

# --- widget tests: one Qt Test executable per file, run without a display ----------
file(GLOB YORBEL_GUI_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/gui/*_test.cpp)
file(GLOB YORBEL_GUI_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/gui/support/*.cpp)
foreach(src ${YORBEL_GUI_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(gui_${name} ${src} ${YORBEL_GUI_TEST_SUPPORT}
                 ${CMAKE_SOURCE_DIR}/tests/support/private_home.cpp)
  set_target_properties(gui_${name} PROPERTIES AUTOMOC ON)
  target_include_directories(gui_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/gui)
  target_link_libraries(gui_${name} PRIVATE yorbel_gui Qt6::Test)
  target_compile_definitions(gui_${name} PRIVATE
    YORBEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}" YORBEL_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  if(TARGET yorbel_resources)
    add_dependencies(gui_${name} yorbel_resources)
  endif()
  if(TARGET yorbel)
    add_dependencies(gui_${name} yorbel)  # the start-up test runs the program itself
  endif()
  add_test(NAME gui.${name} COMMAND gui_${name})
  set_tests_properties(gui.${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    TIMEOUT 120)
endforeach()

# --- benchmarks of the year view: kept out of bench/*_bench.cpp, which links the core only
if(benchmark_FOUND)
  file(GLOB YORBEL_GUI_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/gui/*_bench.cpp)
  foreach(src ${YORBEL_GUI_BENCHES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src} ${CMAKE_SOURCE_DIR}/bench/gui/support/qt_bench_main.cpp)
    target_link_libraries(${name} PRIVATE yorbel_gui benchmark::benchmark)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  endforeach()
endif()
