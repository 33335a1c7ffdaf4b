# The Debian package, made by CPack from the install rules:
#   packaging/build-deb.sh   (or: cpack -G DEB in a Release tree)
set(CPACK_PACKAGE_NAME vikora)
set(CPACK_PACKAGE_VENDOR "Zamolin")
set(CPACK_PACKAGE_CONTACT "Zamolin <info@zamolin.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reminder notes on the desktop")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vikora keeps short text notes and shows each one as a small borderless\n"
    "window on the desktop, in the note's own colour and font. Notes can be\n"
    "hidden until a given day, marked important, edited, formatted, dragged\n"
    "and resized. The program lives in the system tray; its user interface\n"
    "is Hungarian.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.zamolin.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; these are loaded at run time:
# the X11 platform plugin, the Hungarian texts of the standard dialogs, and
# metric-compatible fonts for notes written with Arial or Times New Roman.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-shell-extension-appindicator")
# The licence in Debian's machine-readable form, the changelog and the manual
# page, compressed as Debian keeps them (gzip -9n: no name, no time stamp).
set(VIKORA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vikora)
set(vikora_compressed)
foreach(source changelog vikora.1)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/${source} > ${compressed}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND vikora_compressed ${compressed})
endforeach()
add_custom_target(vikora_package_docs ALL DEPENDS ${vikora_compressed})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${VIKORA_DOC_DIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/vikora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME vikora)

# A stripped install (CPack, cmake --install --strip) also drops the compiler's
# version notes, as Debian's own packaging tools do.
install(CODE "set(vikora_strip \"${CMAKE_STRIP}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP AND vikora_strip)
    execute_process(
      COMMAND "${vikora_strip}" --remove-section=.comment --remove-section=.note
              "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/vikora"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
]])

# The install rules ship only the program; tests and tools stay out.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Vikora;ALL;/")
include(CPack)
