# The hardening Debian builds its own packages with, for optimised Linux builds: libc calls
# checked against the sizes the compiler knows, and symbols bound at start-up so that the
# whole relocation table can be made read-only.
# Sanitizer builds go without: their run-time checks the same calls more closely.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  # Some compilers define their own level; ours replaces it instead of redefining it.
  add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE>"
                      "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>")
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
