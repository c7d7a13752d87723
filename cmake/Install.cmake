# Where things go on `cmake --install`, and the Debian package made from it.
include(GNUInstallDirs)

install(TARGETS quendel-patch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The man page comes from quendel-patch's own --help.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(man_page ${PROJECT_BINARY_DIR}/quendel-patch.1)
  add_custom_command(
    OUTPUT ${man_page}
    COMMAND ${HELP2MAN} --no-info --no-discard-stderr
            --name "write a BIOS image copy with a fixed Athlon L2 cache divider"
            --output ${man_page} $<TARGET_FILE:quendel-patch>
    DEPENDS quendel-patch
    VERBATIM)
  add_custom_target(man_page ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: no man page for quendel-patch")
endif()

if(QUENDEL_GUI)
  install(TARGETS Quendel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  set(icon_dir ${PROJECT_BINARY_DIR}/icons)
  set(icons ${icon_dir}/quendel-16.png ${icon_dir}/quendel-32.png ${icon_dir}/quendel-256.png)
  add_custom_command(
    OUTPUT ${icons}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:icon_export> ${icon_dir}
    DEPENDS icon_export
    VERBATIM)
  add_custom_target(icons ALL DEPENDS ${icons})
  foreach(size 16 32 256)
    install(FILES ${icon_dir}/quendel-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quendel.png)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/org.quendel.Quendel.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/org.quendel.Quendel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quendel)
set(CPACK_PACKAGE_VENDOR "The Quendel authors")
set(CPACK_PACKAGE_CONTACT "The Quendel authors <quendel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fixes an Athlon board's L2 cache divider in a BIOS image copy")
set(CPACK_PACKAGE_DESCRIPTION
    "Quendel writes a modified copy of an old Athlon motherboard's BIOS image in which the\n\
L2 cache divider is a fixed choice instead of the BIOS's own table lookup. The input\n\
is never modified. A dialog (Quendel) and a command-line companion (quendel-patch).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The Qt libraries come from dpkg-shlibdeps; the window-system plugins it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arkpandora | fonts-dejavu-core")
include(CPack)
