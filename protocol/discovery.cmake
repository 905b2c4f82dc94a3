# Discovery's building blocks: the echo probe, the adapter tables and the portable rules.
set(dir ${CMAKE_CURRENT_LIST_DIR})
tov_portable_library(tov_discovery
    SOURCES ${dir}/discovery_rules.cpp ${dir}/discovery_rules.h ${dir}/echo_probe.cpp
        ${dir}/echo_probe.h ${dir}/adapters.h
    WIN32_SOURCES ${dir}/echo_probe_win32.cpp ${dir}/adapters_win32.cpp
    POSIX_SOURCES ${dir}/echo_probe_posix.cpp ${dir}/adapters_posix.cpp
    LIBS tov_protocol)
if(WIN32)
    target_link_libraries(tov_discovery PUBLIC iphlpapi ws2_32)
endif()

tov_test(discovery_rules_test SOURCES ${dir}/discovery_rules_test.cpp LIBS tov_discovery)
tov_test(echo_probe_test SOURCES ${dir}/echo_probe_test.cpp LIBS tov_discovery)
tov_test(adapters_test SOURCES ${dir}/adapters_test.cpp LIBS tov_discovery)

# The probe against real hosts runs only inside the network lab, which the script sets up and
# checks; the program itself refuses to probe anywhere else.
if(WIN32)
    set(guard ${dir}/echo_probe_lab_guard_win32.cpp)
else()
    set(guard ${dir}/echo_probe_lab_guard_posix.cpp)
endif()
add_executable(echo_probe_lab_test ${dir}/echo_probe_lab_test.cpp ${guard})
target_link_libraries(echo_probe_lab_test PRIVATE tov_discovery tov_gtest)
tov_script_test(echo_probe_lab COMMAND ${dir}/echo_probe_lab_test.sh
    $<TARGET_FILE:echo_probe_lab_test> LABELS lab TIMEOUT 300)
