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

# Time stamps are the commit's: Qt's rcc writes every resource file's time into the program
# unless SOURCE_DATE_EPOCH is set, which the launcher of the custom commands sees to. It
# reads the commit when the step runs, so the command lines stay the same from one commit
# to the next and nothing is rebuilt for it; the other side of that is that resources made
# at an earlier commit keep its time until they are made again (releases build afresh).
if(CMAKE_HOST_UNIX)
  set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
    "/bin/sh \"${CMAKE_CURRENT_LIST_DIR}/source-date-launcher.sh\" \"${PROJECT_SOURCE_DIR}\"")
endif()

# Installed folders get the usual modes whatever the umask of the build (files get theirs
# from install() already); cpack packs them as they are.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# MinGW's linker stamps every .exe and .dll header with the time of the link; ours get 0.
# The release restamps its copies with the commit's time when it strips them (binutils' strip
# reads SOURCE_DATE_EPOCH), so that the same stamp holds for Qt's and MinGW's DLLs too.
if(MINGW)
  add_link_options(LINKER:--no-insert-timestamp)
endif()
