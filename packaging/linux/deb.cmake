# The .deb's own control fields, read by the CPack settings in the top-level CMakeLists.txt.
# Dependencies are found from the program's libraries.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${FREQSMITH_HOME_URL})
