#!/bin/sh
# Builds the .deb in build/default from the default preset, as `cpack -G DEB` there would,
# in a way that gives the same bytes for the same commit (scripts/check-reproducible.sh).
#   package-deb.sh [CMAKE_OPTION...]   options for the configure step
# The package is build/default/freqsmith_<version>_<arch>.deb.
set -eu
cd "$(dirname "$0")/.."
cmake --preset default "$@"
cmake --build --preset default
# The time stamps come from the commit by themselves (cmake/cpack-source-date.cmake), but the
# members of the .deb's outer archive get the modes the umask leaves them.
umask 022
cd build/default
rm -f freqsmith_*.deb
echo "package-deb: cpack"
cpack -G DEB
