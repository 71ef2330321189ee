# The Debian package of the installed tree (`make deb`, which configures a
# tree of its own with Debian's build flags). Dependencies are read off the
# programs by dpkg-shlibdeps; the desktop, mime, icon and manual databases are
# refreshed by the triggers of the packages that own them, so the package has
# no maintainer scripts.
set(QUILLON3_MAINTAINER "Quillon3 maintainers <maintainers@quillon3.invalid>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon3)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${QUILLON3_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader for QBX e-books")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLON3_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The update check loads libcurl when it first asks (dlopen), so
# dpkg-shlibdeps cannot see it: 7.87 brought the quick exit it sets.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4 (>= 7.87)")
# The interface is Chinese; without a CJK font it shows empty boxes. Outside
# a desktop environment xdg-open learns a file's type from the shared-mime-info
# database (and so opens documents with the reader) only through
# libfile-mimeinfo-perl; otherwise it asks file(1), which knows no .qbx.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei, libfile-mimeinfo-perl")
# The extended description; CPack puts the summary above it, indents its
# lines and turns the empty line into the paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillon3 reads QBX e-books: single files that carry the pages, pictures
and contents of a book. It shows the book in an embedded web view, with a
side bar for the contents tree, an alphabetic index, full-text search and
bookmarks. Its interface is in Simplified Chinese.

The package also holds qbxtool, which inspects, verifies, searches,
extracts and packs QBX documents on the command line.")

include(CPack)
