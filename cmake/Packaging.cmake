# cpack -G DEB: a Debian package of everything cmake --install installs, in
# /usr, with its dependencies computed from the programs by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME marlwick)
set(CPACK_PACKAGE_VENDOR "The Marlwick developers")
set(CPACK_PACKAGE_CONTACT "The Marlwick developers <marlwick@marlwick.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ball track designer and simulator on B-spline channel surfaces")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${MARLWICK_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Marlwick simulates a ball rolling, flying and bouncing on smooth B-spline
channel surfaces, with a designer for those surfaces: channels, circular and
sweep surfaces attached into tracks, holes, groups and a surface library.
.
The headless tool marlwick-cli builds tracks from recipes, rolls the ball and
draws pictures and ride profiles without a display.")
include(CPack)
