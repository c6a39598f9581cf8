# Writes the header that names this build: the version set in CMakeLists.txt
# and the commit the sources came from. Run at every build, so that a new
# commit reaches /info and the version resource without a new configure; the
# header is rewritten only when its text changes, so nothing else recompiles.
# Expects SOURCE_DIR, OUTPUT, VERSION and NUMBERS (the four numeric fields).
find_program(GIT_EXECUTABLE git)
set(commit "unknown")
if(GIT_EXECUTABLE)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse HEAD WORKING_DIRECTORY ${SOURCE_DIR}
                  OUTPUT_VARIABLE head RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed)
    # Seven digits always, not as many as git finds unambiguous in this clone:
    # two clones of one commit must build the same bytes.
    string(SUBSTRING "${head}" 0 7 commit)
    execute_process(COMMAND ${GIT_EXECUTABLE} status --porcelain --untracked-files=no
                    WORKING_DIRECTORY ${SOURCE_DIR} OUTPUT_VARIABLE changes ERROR_QUIET)
    if(NOT changes STREQUAL "")
      string(APPEND commit "-modified")
    endif()
  endif()
endif()
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT [[
#pragma once
// Generated at build time; names the build.
#define ZRN_VERSION_TEXT "@VERSION@"
#define ZRN_VERSION_NUMBERS @NUMBERS@
#define ZRN_COMMIT "@commit@"
#define ZRN_PRODUCT_VERSION "@VERSION@ (commit @commit@)"
]] @ONLY)
