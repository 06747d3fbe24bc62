# Tests of the notification service and the notifier.
set(_dir ${CMAKE_CURRENT_SOURCE_DIR}/tests)
if(WIN32)
  hv_wine_test(service_logic_test SOURCES ${_dir}/service_logic_test.cpp ${_dir}/accounting_logic_test.cpp
    LIBS service_logic limiter_test_headers TIMEOUT 60)
else()
  hv_host_test(service_logic_host_test SOURCES ${_dir}/service_logic_test.cpp ${_dir}/accounting_logic_test.cpp
    LIBS service_logic limiter_test_headers)
endif()

if(WIN32)
  set(_svc ${CMAKE_CURRENT_SOURCE_DIR})
  hv_text_table(service_texts FUNCTION svc::RcText
    HEADERS ${_svc}/resource.h ${CMAKE_SOURCE_DIR}/common/shared/shared_resource.h
    SCRIPTS ${_svc}/strings.rc ${CMAKE_SOURCE_DIR}/common/shared/shared_strings.rc)

  # The session loop with the real platform calls and sessions given here.
  hv_test_program(service_launch_probe SOURCES ${_dir}/launch_probe.cpp LIBS advapi32)
  hv_wine_test(service_session_notifier_test
    SOURCES ${_dir}/session_notifier_test.cpp ${_svc}/session_notifier.cpp
    LIBS service_logic hv_shared e2e wtsapi32 userenv
    DEPENDS service_launch_probe TIMEOUT 90)
  target_include_directories(service_session_notifier_test PRIVATE ${_svc})

  add_library(service_fixture STATIC ${_dir}/service_fixture.cpp)
  target_link_libraries(service_fixture PUBLIC e2e cfwCommon hv_headers hv_shared_logic advapi32)
  target_include_directories(service_fixture PUBLIC ${_dir})
  hv_wine_test(service_e2e_test SOURCES ${_dir}/service_e2e_test.cpp
    LIBS service_fixture service_texts DEPENDS cfwNotifySvc cfwNotify TIMEOUT 300)
  hv_wine_test(service_settings_dialog_e2e_test SOURCES ${_dir}/settings_dialog_e2e_test.cpp
    LIBS service_fixture service_texts DEPENDS cfwNotifySvc cfwNotify XVFB TIMEOUT 300)
  # The program's resource ids (the limiter's fixture has a resource.h of its own).
  target_include_directories(service_e2e_test PRIVATE ${_svc})
  target_include_directories(service_settings_dialog_e2e_test PRIVATE ${_svc})
endif()

# The notifier against a real limiter, and Apply through the real service.
if(WIN32 AND TARGET editor_fixture)
  hv_wine_test(service_notifier_e2e_test SOURCES ${_dir}/notifier_e2e_test.cpp
    LIBS service_fixture editor_fixture DEPENDS cfwNotifySvc cfwNotify cfwEdit hvCurfew cfwHelper XVFB TIMEOUT 240)
endif()

# The hand-run idle-cost benchmark's probe (bench/idle_cost.sh).
if(WIN32)
  hv_test_program(service_idle_cost_probe SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench/idle_cost_probe.cpp
                  LIBS hv_headers advapi32 DEPENDS cfwNotifySvc cfwNotifySvcPolling)
endif()

# Dialog 503 with the program's resources, since Wine's account never meets it.
if(WIN32)
  hv_wine_test(service_elevation_dialog_test
    SOURCES ${_dir}/elevation_dialog_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/elevation_dialog.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/cfwNotifySvc.rc
    LIBS service_logic hv_shared e2e comctl32 shell32
    DEPENDS hv_art XVFB TIMEOUT 90)
  target_include_directories(service_elevation_dialog_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${HV_ART_DIR}/..)
endif()

# The guardian with the real limiter and helper in session 1, its pipe and
# the limiter's exit through it.
if(WIN32 AND TARGET limiter_fixture)
  set(_svc ${CMAKE_CURRENT_SOURCE_DIR})
  add_library(guard_fixture STATIC ${_dir}/guard_fixture.cpp ${_svc}/guardian.cpp ${_svc}/pipe_server.cpp
    ${_svc}/session_notifier.cpp ${_svc}/accounting_store.cpp)
  target_include_directories(guard_fixture PUBLIC ${_svc} ${_dir})
  target_link_libraries(guard_fixture PUBLIC service_logic hv_shared limiter_fixture cfwCommon wtsapi32 userenv
    advapi32)
  hv_wine_test(service_guardian_e2e_test SOURCES ${_dir}/guardian_e2e_test.cpp LIBS guard_fixture
    DEPENDS hvCurfew cfwHelper XVFB FAKE_CLOCK TIMEOUT 600)
  # The timer mode's state held by the service.
  hv_wine_test(service_accounting_e2e_test SOURCES ${_dir}/accounting_e2e_test.cpp LIBS guard_fixture
    DEPENDS hvCurfew cfwHelper FAKE_CLOCK TIMEOUT 300)
endif()
