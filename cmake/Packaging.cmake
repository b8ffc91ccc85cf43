# The Debian package, made from the install rules:
#   cmake --build build --target package      -> build/kvprog_<version>_<arch>.deb
#   cpack -G DEB -B OUT_DIR --config build/CPackConfig.cmake
# It holds kvprog, kvprog-cli, kvradio-sim, the menu entry, the icon and the "KV_II Document"
# file type. The desktop, icon and file type databases are brought up to date by the triggers
# of Debian's desktop-file-utils, hicolor-icon-theme and shared-mime-info packages, so the
# package needs no maintainer scripts of its own.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvprog)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "kvprog developers")
set(CPACK_PACKAGE_CONTACT "kvprog developers <maintainers@users.noreply.c-seed-d7eee085.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "programming software for KV - T310X and KV - T520 UHF handheld radios")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "kvprog reads the 1024-byte memory of a 16-channel UHF handheld radio over a serial cable,\n"
    "lets you edit its channels and settings, writes it back, aligns the radio in test mode\n"
    "and prints a settings sheet. kvprog-cli does the same from scripts, and kvradio-sim is a\n"
    "simulated radio for trying the programs without hardware.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The build keeps its debugging information; the package does not need it.
set(CPACK_STRIP_FILES ON)

# The shared libraries the programs and their modules load, as dpkg-shlibdeps names them for this build on
# Debian 12 (Qt at the 6.4 the build requires), so that making the package needs no dpkg-dev.
# The platform plugins (xcb, offscreen) ship with libqt6gui6, the printer plugin with
# libqt6printsupport6. The form and the dialogs ask for Times New Roman, which fontconfig
# finds as Liberation Serif. tests/packaging/deb_check.sh fails when a program or module links
# a library whose package is not listed here.
set(_kv_depends
    "libc6 (>= 2.34)"
    "libgcc-s1 (>= 3.0)"
    "libstdc++6 (>= 11)"
    "libqt6core6 (>= 6.4.0)")
if(KV_GUI)
  list(APPEND _kv_depends
       "libqt6gui6 (>= 6.4.0)"
       "libqt6widgets6 (>= 6.4.0)"
       "libqt6printsupport6 (>= 6.4.0)"
       "fonts-liberation")
endif()
list(JOIN _kv_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
unset(_kv_depends)

include(CPack)
