# Start-up, forwarding, reload and exit of the real hvCurfew.exe under Wine.
if(WIN32)
  add_library(limiter_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/limiter_fixture.cpp)
  target_link_libraries(limiter_fixture PUBLIC e2e cfwCommon limiter_logic)
  target_include_directories(limiter_fixture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  hv_wine_test(startup_e2e_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_e2e_test.cpp
               LIBS limiter_fixture DEPENDS hvCurfew cfwHelper TIMEOUT 240)
endif()
