# Host build: the logic against the fakes, tested with the system's GoogleTest.
find_package(GTest REQUIRED)

file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS src/platform/fake/*.cpp src/ui/fake/*.cpp)
add_library(tarnwick_fakes STATIC ${FAKE_SOURCES})
target_link_libraries(tarnwick_fakes PUBLIC tarnwick_logic)

# The native tests, with the one conversion of the Win32 edge that is plain
# C++, tested here too.
file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS tests/native/*_test.cpp)
list(APPEND NATIVE_TESTS src/platform/win32/Utf16.cpp)
add_executable(native_tests ${NATIVE_TESTS})
target_include_directories(native_tests PRIVATE tests/native)
target_link_libraries(native_tests PRIVATE tarnwick_fakes GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(native_tests TEST_PREFIX "native." PROPERTIES LABELS native)

# Every fuzz target's corpus replayed through a plain driver: no clang, and
# seconds, inside `make test`.
file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS fuzz/*_fuzz.cpp)
foreach(src ${FUZZ_TARGETS})
  get_filename_component(stem ${src} NAME_WE)
  add_executable(replay_${stem} ${src} fuzz/replay_main.cpp)
  target_link_libraries(replay_${stem} PRIVATE tarnwick_fakes)
  add_test(NAME fuzz.${stem} COMMAND replay_${stem} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${stem})
  set_tests_properties(fuzz.${stem} PROPERTIES LABELS fuzz)
endforeach()

# The same native tests once more, everything built with AddressSanitizer and
# UndefinedBehaviorSanitizer; any finding ends the run as a failure.
set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_executable(native_tests_sanitized ${NATIVE_TESTS} ${LOGIC_SOURCES} ${FAKE_SOURCES})
target_include_directories(native_tests_sanitized PRIVATE tests/native
  $<TARGET_PROPERTY:tarnwick_logic,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_definitions(native_tests_sanitized PRIVATE
  $<TARGET_PROPERTY:tarnwick_logic,INTERFACE_COMPILE_DEFINITIONS>)
target_compile_options(native_tests_sanitized PRIVATE ${SANITIZE})
target_link_options(native_tests_sanitized PRIVATE ${SANITIZE})
target_link_libraries(native_tests_sanitized PRIVATE GTest::gtest GTest::gtest_main)
add_test(NAME native.sanitized COMMAND native_tests_sanitized)
set_tests_properties(native.sanitized PROPERTIES LABELS native
  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
