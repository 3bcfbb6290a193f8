# Host build: the logic against the fakes, tested with the system's GoogleTest.
find_package(GTest REQUIRED)

file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS src/platform/fake/*.cpp src/ui/fake/*.cpp)
add_library(tarnwick_fakes STATIC ${FAKE_SOURCES})
target_link_libraries(tarnwick_fakes PUBLIC tarnwick_logic)

file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS tests/native/*_test.cpp)
# The one conversion of the Win32 edge that is plain C++, tested here too.
add_executable(native_tests ${NATIVE_TESTS} src/platform/win32/Utf16.cpp)
target_include_directories(native_tests PRIVATE tests/native)
target_link_libraries(native_tests PRIVATE tarnwick_fakes GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(native_tests TEST_PREFIX "native." PROPERTIES LABELS native)
