# The fakes here stand in for the seams of these libraries.
foreach(lib IN ITEMS protocol_tcp client_core server_core)
  if(TARGET ${lib})
    target_link_libraries(test_support PUBLIC ${lib})
  endif()
endforeach()
