# Cross build: tarnwick.exe, the Win32 layer tests and the end-to-end tests,
# all run under Wine.
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
set(WIN32_LIBS user32 gdi32 comctl32 shell32 advapi32 wininet winmm comdlg32 ole32 uuid htmlhelp wintrust crypt32 version)

file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp src/ui/win32/*.cpp)
add_library(tarnwick_win32 STATIC ${WIN32_SOURCES})
target_link_libraries(tarnwick_win32 PUBLIC tarnwick_logic ${WIN32_LIBS})

add_executable(tarnwick WIN32 src/app/main_win32.cpp res/tarnwick.rc)

# DLLs the program needs only when a user asks for something now and then (a
# window with controls, a file dialog, a sound, help, the installer's
# signature and version): loaded at their first call instead of at start-up,
# where each would hold memory for the whole run. Each import library NAME gets a delay-load twin, linked
# before the ordinary one, so the program's calls go through the twin.
find_program(MINGW_NM x86_64-w64-mingw32-nm REQUIRED)
find_program(MINGW_DLLTOOL x86_64-w64-mingw32-dlltool REQUIRED)
set(DELAY_LOADED comctl32=comctl32.dll ole32=ole32.dll wininet=wininet.dll comdlg32=comdlg32.dll winmm=winmm.dll wintrust=wintrust.dll crypt32=crypt32.dll
    version=version.dll htmlhelp=hhctrl.ocx)
set(DELAY_LIBS)
foreach(entry ${DELAY_LOADED})
  string(REPLACE "=" ";" parts ${entry})
  list(GET parts 0 name)
  list(GET parts 1 dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${name}.a
                  OUTPUT_VARIABLE implib OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(delaylib ${CMAKE_BINARY_DIR}/delayload/lib${name}_delay.a)
  add_custom_command(OUTPUT ${delaylib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
    COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/delaylib.sh ${MINGW_NM} ${MINGW_DLLTOOL} ${implib} ${dll} ${delaylib}
    DEPENDS ${CMAKE_SOURCE_DIR}/cmake/delaylib.sh VERBATIM)
  list(APPEND DELAY_LIBS ${delaylib})
endforeach()
add_custom_target(delay_libs DEPENDS ${DELAY_LIBS})
add_dependencies(tarnwick delay_libs)
target_link_libraries(tarnwick PRIVATE tarnwick_win32 ${DELAY_LIBS} ${STATIC_RUNTIME})
# Sections aligned in the file as in memory: Wine then maps the exe's pages
# from the file, shared and dropped when memory is short, instead of reading
# the whole image into memory of the process's own.
target_link_options(tarnwick PRIVATE -Wl,--file-alignment,0x1000)

# The program runs and ships stripped: its debug information, most of a
# linked exe and read into memory at every start under Wine, goes to
# tarnwick.exe.debug beside it, which a debugger finds by the link left in
# the exe. Then every tarnwick.exe is signed, with the vendor's certificate
# or the build's own.
find_program(MINGW_OBJCOPY x86_64-w64-mingw32-objcopy REQUIRED)
find_program(MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)
add_custom_command(TARGET tarnwick POST_BUILD
  COMMAND ${MINGW_OBJCOPY} --only-keep-debug $<TARGET_FILE:tarnwick> $<TARGET_FILE:tarnwick>.debug
  COMMAND ${MINGW_STRIP} --strip-all $<TARGET_FILE:tarnwick>
  COMMAND ${CMAKE_COMMAND} -E chdir $<TARGET_FILE_DIR:tarnwick>
          ${MINGW_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:tarnwick>.debug $<TARGET_FILE_NAME:tarnwick>
  COMMAND sh ${SIGN_SCRIPT} $<TARGET_FILE:tarnwick>
  VERBATIM)

# The help file, beside the program.
find_program(CHMCMD chmcmd REQUIRED)
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/help.chm
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/help-src
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/help ${CMAKE_BINARY_DIR}/help-src
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/help-src ${CHMCMD} help.hhp
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/help-src/help.chm ${CMAKE_BINARY_DIR}/help.chm
  DEPENDS ${HELP_SOURCES}
  VERBATIM)
add_custom_target(help_file ALL DEPENDS ${CMAKE_BINARY_DIR}/help.chm)

# GoogleTest built from the sources Debian ships.
set(GTEST_SRC /usr/src/googletest)
add_library(gtest_win STATIC ${GTEST_SRC}/googletest/src/gtest-all.cc ${GTEST_SRC}/googletest/src/gtest_main.cc)
target_include_directories(gtest_win SYSTEM PUBLIC ${GTEST_SRC}/googletest/include ${GTEST_SRC}/googletest)
target_compile_options(gtest_win PRIVATE -Wno-error)

set(WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)

# The Wine prefix every test under Wine shares, made once per run.
add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh)
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wineprefix LABELS win32 TIMEOUT 300)

file(GLOB WIN32_TESTS CONFIGURE_DEPENDS tests/win32/*_test.cpp)
foreach(src ${WIN32_TESTS})
  get_filename_component(stem ${src} NAME_WE)
  add_executable(win32_${stem} ${src})
  target_include_directories(win32_${stem} PRIVATE tests/win32)
  target_link_libraries(win32_${stem} PRIVATE tarnwick_win32 gtest_win ${STATIC_RUNTIME})
  # A test with a scripted HTTP server beside it runs with the server up.
  set(server ${CMAKE_SOURCE_DIR}/tests/win32/${stem}_server.py)
  if(EXISTS ${server})
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    add_test(NAME win32.${stem} COMMAND ${Python3_EXECUTABLE} ${server} ${CMAKE_CROSSCOMPILING_EMULATOR}
             $<TARGET_FILE:win32_${stem}>)
  else()
    add_test(NAME win32.${stem} COMMAND win32_${stem})
  endif()
  # They share one X display: real input, focus and open menus of one test
  # would reach the windows of another, so they take turns.
  set_tests_properties(win32.${stem} PROPERTIES FIXTURES_REQUIRED wineprefix LABELS win32 TIMEOUT 300
    RESOURCE_LOCK win32-display)
endforeach()

# Helper programs the end-to-end tests drive (a fake browser, a bare tray icon).
file(GLOB HELPERS CONFIGURE_DEPENDS tests/helpers/*.cpp)
set(HELPER_TARGETS)
foreach(src ${HELPERS})
  get_filename_component(stem ${src} NAME_WE)
  add_executable(helper_${stem} WIN32 ${src})
  set_target_properties(helper_${stem} PROPERTIES OUTPUT_NAME ${stem} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/helpers)
  target_link_libraries(helper_${stem} PRIVATE user32 gdi32 shell32 wininet ${STATIC_RUNTIME})
  list(APPEND HELPER_TARGETS helper_${stem})
endforeach()

find_package(Python3 COMPONENTS Interpreter REQUIRED)
# The help file checked from outside: pages, links, contents.
add_test(NAME help.check_chm COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/help/check_chm.py
         ${CMAKE_BINARY_DIR}/help.chm)
set_tests_properties(help.check_chm PROPERTIES LABELS help TIMEOUT 60)

file(GLOB E2E_TESTS CONFIGURE_DEPENDS tests/e2e/test_*.py)
foreach(src ${E2E_TESTS})
  get_filename_component(stem ${src} NAME_WE)
  add_test(NAME e2e.${stem} COMMAND ${Python3_EXECUTABLE} ${src})
  set_tests_properties(e2e.${stem} PROPERTIES
    ENVIRONMENT "TARNWICK_EXE=$<TARGET_FILE:tarnwick>;TARNWICK_BUILD=${CMAKE_BINARY_DIR};TARNWICK_HELPERS=${CMAKE_BINARY_DIR}/helpers"
    FIXTURES_REQUIRED wineprefix RESOURCE_LOCK desktop LABELS e2e TIMEOUT 600)
endforeach()
