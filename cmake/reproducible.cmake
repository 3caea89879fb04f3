# Two builds of one commit give the same bytes wherever the clone lies and whenever they run
# (scripts/check-reproducible.sh proves it for the releases).
#
# The compiler writes the folders it works in into debug information (and __FILE__): the
# source folder is written as "." and the build folder as "build" instead. Debug information
# matters even where it is stripped, because the linker's build id is a hash over it. The
# last map that matches wins, so a build folder inside the source folder becomes "build" too.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                      "-ffile-prefix-map=${PROJECT_BINARY_DIR}=build")
endif()

# MinGW's linker stamps every .exe and .dll header with the time of the link; ours get 0.
# The release restamps its copies with the commit's time when it strips them (binutils' strip
# reads SOURCE_DATE_EPOCH), so that the same stamp holds for Qt's and MinGW's DLLs too.
if(MINGW)
  add_link_options(LINKER:--no-insert-timestamp)
endif()
