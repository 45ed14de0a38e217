# One function per kind of target, so warnings, strict Qt defines and sanitizers are set in one place.

function(warplon_apply_common target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(WARPLON_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
                                               QT_NO_URL_CAST_FROM_STRING QT_NO_FOREACH)
  if(WARPLON_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(WARPLON_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
endfunction()

# warplon_add_library(NAME SOURCES ... LINK ...)
function(warplon_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  warplon_apply_common(${name})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
  if(WARPLON_SANITIZE)
    target_link_options(${name} INTERFACE -fsanitize=address,undefined)
  endif()
  if(WARPLON_TSAN)
    target_link_options(${name} INTERFACE -fsanitize=thread)
  endif()
endfunction()

# warplon_add_executable(NAME SOURCES ... LINK ...)
function(warplon_add_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  warplon_apply_common(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
endfunction()

# warplon_add_test(NAME SOURCES ... LINK ... LABELS ...): one GoogleTest program, every test case
# registered with ctest on its own, headless.
function(warplon_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  warplon_apply_common(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LINK} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE WARPLON_RESOURCES="${PROJECT_SOURCE_DIR}/resources")
  include(GoogleTest)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${ARG_LABELS}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# warplon_copy_resources(TARGET): after each build the files of resources/ (language files,
# colour files, splash, samples) stand beside the executable, which is the program directory.
function(warplon_copy_resources target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/resources
            $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
