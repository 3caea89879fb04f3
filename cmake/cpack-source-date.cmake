# Read by cpack before it makes each package (CPACK_PROJECT_CONFIG_FILE). The files in the
# packages carry the time of the commit they are built from, not the time of the build: cpack
# stamps every entry with SOURCE_DATE_EPOCH when it is set, and it is set here from the
# commit unless the caller chose a time. Outside a git checkout (a source tarball) the files
# keep their own times.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  find_program(CPACK_FREQSMITH_GIT git)
  if(CPACK_FREQSMITH_GIT)
    execute_process(
      COMMAND "${CPACK_FREQSMITH_GIT}" -C "${CPACK_FREQSMITH_SOURCE_DIR}" log -1 --format=%ct
      OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE git_status ERROR_QUIET)
    if(git_status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
      set(ENV{SOURCE_DATE_EPOCH} "${commit_time}")
    endif()
  endif()
endif()
