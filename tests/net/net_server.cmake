# Included from tests/CMakeLists.txt after the test programs exist. The Windows net tests run
# against a loopback server that ctest starts before them and stops after them (fixture
# net_server); the test program finds it through KS_NET_SERVER_DIR.
if(NOT KS_WINDOWS OR NOT TARGET net_tests)
    return()
endif()
set(ks_net_server_dir ${CMAKE_CURRENT_BINARY_DIR}/net/server)
set(ks_net_fixture ${CMAKE_CURRENT_LIST_DIR}/server_fixture.sh)
target_link_libraries(net_tests PRIVATE crypt32)
add_test(NAME net_server_start COMMAND ${ks_net_fixture} start ${ks_net_server_dir})
add_test(NAME net_server_stop COMMAND ${ks_net_fixture} stop ${ks_net_server_dir})
set_tests_properties(net_server_start PROPERTIES FIXTURES_SETUP net_server)
set_tests_properties(net_server_stop PROPERTIES FIXTURES_CLEANUP net_server)
set_tests_properties(net_tests PROPERTIES FIXTURES_REQUIRED net_server
    ENVIRONMENT "KS_NET_SERVER_DIR=${ks_net_server_dir}")

# The engine's catalogue tests re-point a copy of their program with listtool and ask the
# same server.
if(TARGET engine_tests)
    add_dependencies(engine_tests listtool)
    set_tests_properties(engine_tests PROPERTIES FIXTURES_REQUIRED net_server
        ENVIRONMENT "KS_NET_SERVER_DIR=${ks_net_server_dir}")
endif()
