# Tray window: its pure decisions natively with the sanitizers, the window
# itself end to end under Wine.
if(NOT WIN32)
  hv_host_test(tray_logic_host_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tray_logic_test.cpp LIBS limiter_logic)
endif()
