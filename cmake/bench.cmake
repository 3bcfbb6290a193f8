# On-demand benchmarks under Wine (make bench): not built by `all`, not
# run by the tests.
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
add_executable(tarnwick_bench EXCLUDE_FROM_ALL ${BENCH_SOURCES})
target_link_libraries(tarnwick_bench PRIVATE tarnwick_win32 ${STATIC_RUNTIME})
