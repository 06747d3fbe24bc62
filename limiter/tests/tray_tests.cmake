# Tray window: its pure decisions natively with the sanitizers, the window
# itself end to end under Wine on a virtual display with a fake clock.
if(WIN32)
  hv_wine_test(tray_e2e_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tray_e2e_test.cpp
               LIBS limiter_fixture DEPENDS hvCurfew XVFB FAKE_CLOCK TIMEOUT 240)
else()
  hv_host_test(tray_logic_host_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tray_logic_test.cpp LIBS limiter_logic limiter_texts)
endif()
