# Project-wide settings for the three builds: warnings, sanitizers (native), static runtime
# and Wine as the test emulator (Windows), third-party locations, and the test-suite helper.
include(GoogleTest)

# kestova_version_resource(VAR FILE_NAME DESCRIPTION): writes the VERSIONINFO script of one
# Windows file and sets VAR to its path.
function(kestova_version_resource var fileName description)
  set(KESTOVA_FILE_NAME ${fileName})
  set(KESTOVA_FILE_DESCRIPTION ${description})
  set(rc ${PROJECT_BINARY_DIR}/version/${fileName}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  set(${var} ${rc} PARENT_SCOPE)
endfunction()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.h.in ${PROJECT_BINARY_DIR}/KestovaVersion.h)

if(WIN32)
  set(KESTOVA_WINDOWS ON)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KESTOVA_ARCH x86_64)
  else()
    set(KESTOVA_ARCH i686)
  endif()
  set(KESTOVA_ARCH ${KESTOVA_ARCH} CACHE INTERNAL "")
  set(KESTOVA_DEPS ${PROJECT_SOURCE_DIR}/.deps/${KESTOVA_ARCH})
  if(NOT EXISTS ${KESTOVA_DEPS}/lame.stamp)
    message(FATAL_ERROR "Windows third-party builds missing in ${KESTOVA_DEPS}: run ./kestova setup")
  endif()
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # No mingw runtime DLL may be needed next to zelt.dll or a test.
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run)
  # LAME's static library linked whole into lame_enc.dll with our version resource, so Windows'
  # file properties show what is installed.
  set(KESTOVA_LAME_DLL ${PROJECT_BINARY_DIR}/lame/lame_enc.dll)
  set(lame_build ${PROJECT_SOURCE_DIR}/.deps/build/lame-${KESTOVA_ARCH})
  kestova_version_resource(lame_enc_rc lame_enc.dll "LAME MP3 encoder for Kestova for Outlook")
  add_custom_command(OUTPUT ${KESTOVA_LAME_DLL}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/lame
    COMMAND ${KESTOVA_TRIPLE}-windres -I${PROJECT_BINARY_DIR} ${lame_enc_rc} -O coff -o ${PROJECT_BINARY_DIR}/lame/version.o
    COMMAND ${KESTOVA_TRIPLE}-gcc -shared -o ${KESTOVA_LAME_DLL} ${lame_build}/lame_enc.def
            -Wl,--whole-archive ${lame_build}/libmp3lame/.libs/libmp3lame.a -Wl,--no-whole-archive
            ${PROJECT_BINARY_DIR}/lame/version.o -static-libgcc -s
    DEPENDS ${lame_build}/libmp3lame/.libs/libmp3lame.a ${lame_enc_rc} ${PROJECT_BINARY_DIR}/KestovaVersion.h
    COMMENT "Linking lame_enc.dll with its version resource")
  add_custom_target(kestova_lame_enc ALL DEPENDS ${KESTOVA_LAME_DLL})
  set(KESTOVA_IDL_DIR ${PROJECT_SOURCE_DIR}/.deps/idl)

  add_library(kestova_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(kestova_jpeg PROPERTIES
    IMPORTED_LOCATION ${KESTOVA_DEPS}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${KESTOVA_DEPS}/include)

  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
elseif(EMSCRIPTEN)
  set(KESTOVA_WINDOWS OFF)
  set(KESTOVA_LAME_WASM ${PROJECT_SOURCE_DIR}/.deps/wasm)
  if(NOT EXISTS ${KESTOVA_LAME_WASM}/lame.stamp)
    message(FATAL_ERROR "LAME for WebAssembly missing in ${KESTOVA_LAME_WASM}: run ./kestova setup")
  endif()
  find_program(KESTOVA_NODE node REQUIRED)
else()
  set(KESTOVA_WINDOWS OFF)
  # The native build of LAME that the web core's LAME is compared with (see thirdparty.sh).
  set(KESTOVA_LAME_PLAIN ${PROJECT_SOURCE_DIR}/.deps/native-plain/lib/libmp3lame.so.0)
  find_package(GTest REQUIRED)
  find_package(benchmark QUIET)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
  find_package(JPEG REQUIRED)
  add_library(kestova_jpeg INTERFACE IMPORTED GLOBAL)
  target_link_libraries(kestova_jpeg INTERFACE JPEG::JPEG)
  find_package(Threads REQUIRED)
  link_libraries(Threads::Threads ${CMAKE_DL_LIBS})
  if(KESTOVA_SANITIZE)
    add_compile_options(-fsanitize=${KESTOVA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${KESTOVA_SANITIZE})
  endif()
  if(KESTOVA_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)  # coverage feedback from the code under test too
  endif()
endif()

# Copies `files` next to the target's output after each build of it.
function(kestova_copy_next_to target)
  if(TARGET kestova_lame_enc)
    add_dependencies(${target} kestova_lame_enc)
  endif()
  foreach(file ${ARGN})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} $<TARGET_FILE_DIR:${target}>)
  endforeach()
endfunction()

# kestova_test_timeout(SECONDS TEST...): the tests count as hung after SECONDS (times
# KESTOVA_TEST_TIME_SCALE). Under Wine, wine-run stops the program itself at that point and
# says so; ctest's own limit comes a little later, for a program that ignores the signal.
function(kestova_test_timeout seconds)
  math(EXPR scaled "${seconds} * ${KESTOVA_TEST_TIME_SCALE}")
  if(KESTOVA_WINDOWS)
    math(EXPR backstop "${scaled} + 15")
    set_tests_properties(${ARGN} PROPERTIES TIMEOUT ${backstop} ENVIRONMENT KESTOVA_TEST_TIMEOUT=${scaled})
  else()
    set_tests_properties(${ARGN} PROPERTIES TIMEOUT ${scaled})
  endif()
endfunction()

# kestova_test_suite(NAME SOURCES ... LIBS ... [DATA_DLLS ...] TIMEOUT S WINE_TIMEOUT S)
# One GoogleTest executable per layer. Natively every test is its own ctest entry, allowed
# TIMEOUT seconds; under Wine the whole executable is one entry, since each Wine process start
# costs about a second, allowed WINE_TIMEOUT seconds. Both are a few times the normal time on
# two cores; its output then lists every test, so the last one started is the one that hung.
function(kestova_test_suite name)
  cmake_parse_arguments(ARG "" "TIMEOUT;WINE_TIMEOUT" "SOURCES;LIBS;DATA_DLLS" ${ARGN})
  if(NOT ARG_TIMEOUT OR NOT ARG_WINE_TIMEOUT)
    message(FATAL_ERROR "kestova_test_suite(${name}): TIMEOUT and WINE_TIMEOUT are required")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  kestova_copy_next_to(${name} ${ARG_DATA_DLLS})
  if(KESTOVA_WINDOWS)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>)
    kestova_test_timeout(${ARG_WINE_TIMEOUT} ${name})
  else()
    math(EXPR timeout "${ARG_TIMEOUT} * ${KESTOVA_TEST_TIME_SCALE}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${timeout})
  endif()
endfunction()

if(KESTOVA_WINDOWS)
  # What a Windows user installs (./kestova dist): the encoder next to zelt.dll.
  install(FILES ${KESTOVA_LAME_DLL} DESTINATION . COMPONENT dist)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/INSTALL.txt ${PROJECT_SOURCE_DIR}/docs/ADMIN.md DESTINATION . COMPONENT dist)
endif()
