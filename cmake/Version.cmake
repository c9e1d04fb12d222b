# Writes app/Version.hpp from its template with the project's version and the git commit of
# the sources ("-modified" when tracked files differ from it). Run at every build, so the
# commit is never stale; configure_file rewrites the header only when its text changes, so
# an unchanged commit rebuilds nothing.
# Input: IN, OUT, VERSION, SOURCE_DIR.
set(PACEDECK_VERSION "${VERSION}")
set(PACEDECK_REVISION "")
find_program(GIT git)
if(GIT AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
    OUTPUT_VARIABLE PACEDECK_REVISION OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    set(PACEDECK_REVISION "")
  else()
    execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" diff --quiet HEAD --
      RESULT_VARIABLE dirty ERROR_QUIET)
    if(NOT dirty EQUAL 0)
      string(APPEND PACEDECK_REVISION "-modified")
    endif()
  endif()
endif()
configure_file("${IN}" "${OUT}" @ONLY)
