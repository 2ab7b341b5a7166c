include(GoogleTest)

# add_project_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>] [LOCK <resource>])
# One GoogleTest program, linked against the very libraries that ship. Programs that name the
# same LOCK never run at the same time (e.g. those that start the server on its fixed port).
function(add_project_test name)
  cmake_parse_arguments(ARG "" "LOCK" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  set(lock "")
  if(ARG_LOCK)
    set(lock RESOURCE_LOCK ${ARG_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 30
    PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENV}" ${lock})
endfunction()
