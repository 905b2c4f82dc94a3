# Discovery's building blocks: the echo probe, the adapter tables and the portable rules.
set(discovery_dir ${CMAKE_CURRENT_LIST_DIR})
tov_portable_library(tov_discovery
    SOURCES ${discovery_dir}/discovery_rules.cpp ${discovery_dir}/discovery_rules.h
        ${discovery_dir}/echo_probe.cpp ${discovery_dir}/echo_probe.h ${discovery_dir}/adapters.h
    WIN32_SOURCES ${discovery_dir}/echo_probe_win32.cpp ${discovery_dir}/adapters_win32.cpp
    POSIX_SOURCES ${discovery_dir}/echo_probe_posix.cpp ${discovery_dir}/adapters_posix.cpp
    LIBS tov_protocol)
if(WIN32)
    target_link_libraries(tov_discovery PUBLIC iphlpapi ws2_32)
endif()

tov_test(discovery_rules_test SOURCES ${discovery_dir}/discovery_rules_test.cpp LIBS tov_discovery)
tov_test(echo_probe_test SOURCES ${discovery_dir}/echo_probe_test.cpp LIBS tov_discovery)
tov_test(adapters_test SOURCES ${discovery_dir}/adapters_test.cpp LIBS tov_discovery)

# The probe against real hosts runs only inside the network lab, which the script sets up and
# checks; the program itself refuses to probe anywhere else.
if(WIN32)
    set(discovery_guard ${discovery_dir}/echo_probe_lab_guard_win32.cpp)
else()
    set(discovery_guard ${discovery_dir}/echo_probe_lab_guard_posix.cpp)
endif()
add_executable(echo_probe_lab_test ${discovery_dir}/echo_probe_lab_test.cpp ${discovery_guard})
target_link_libraries(echo_probe_lab_test PRIVATE tov_discovery tov_gtest)
tov_script_test(echo_probe_lab COMMAND ${discovery_dir}/echo_probe_lab_test.sh
    $<TARGET_FILE:echo_probe_lab_test> LABELS lab TIMEOUT 300)
# the same with an unaddressed adapter first and a second one on the foreign subnet
tov_script_test(echo_probe_lab_adapters COMMAND ${discovery_dir}/echo_probe_lab_test.sh
    --client bare,lan,far $<TARGET_FILE:echo_probe_lab_test> LABELS lab TIMEOUT 300)
