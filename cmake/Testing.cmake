# kv_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One QtTest executable per test class, run offscreen by ctest.
function(kv_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;ASAN_OPTIONS=detect_leaks=0"
    TIMEOUT 300)
endfunction()

# kv_add_folder_tests(LIBS <targets...>): one test per tst_*.cpp of the calling folder.
function(kv_add_folder_tests)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  foreach(t ${tests})
    get_filename_component(name ${t} NAME_WE)
    kv_add_test(${name} SOURCES ${t} LIBS ${ARG_LIBS})
  endforeach()
endfunction()
