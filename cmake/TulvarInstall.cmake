# Where an installed Tulvar MIDI puts its files (GNU layout under the prefix), and the Debian
# package made from them. The program finds its data folder as ../share/tulvar-midi next to
# bin/, so any prefix and DESTDIR work.
include(GNUInstallDirs)

# Installing (and so packaging) needs only the program and its files, not every test and
# benchmark of the build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(TULVAR_APP_ID com.keldanworks.TulvarMIDI)
set(TULVAR_HOMEPAGE "https://keldanworks.com/tulvar-midi" CACHE STRING "The project's home page")
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)

install(FILES ${PROJECT_SOURCE_DIR}/resources/licenses/OpenSourceLicense.txt
              ${PROJECT_SOURCE_DIR}/resources/licenses/TulvarMIDILicense.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tulvar-midi)
install(FILES ${desktop_dir}/${TULVAR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_dir}/tulvar-midi.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

configure_file(${desktop_dir}/${TULVAR_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/desktop/${TULVAR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${TULVAR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages go compressed, as Debian's policy asks.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_pages)
foreach(page tulvar-midi.1 tulvar-midi-cli.1)
    set(man_page ${CMAKE_BINARY_DIR}/desktop/${page}.gz)
    add_custom_command(OUTPUT ${man_page}
        COMMAND ${GZIP_PROGRAM} -9 -n -c ${desktop_dir}/${page} > ${man_page}
        DEPENDS ${desktop_dir}/${page} VERBATIM)
    list(APPEND man_pages ${man_page})
endforeach()
add_custom_target(manual-pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: cpack -G DEB in the build folder (scripts/package.sh). Its run-time
# dependencies are computed from the installed binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tulvar-midi)
set(CPACK_PACKAGE_VENDOR "Keldan Works")
set(CPACK_PACKAGE_CONTACT "Keldan Works <tulvar-midi@keldanworks.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MIDI tool for instrument developers")
set(CPACK_PACKAGE_DESCRIPTION
    "Tulvar MIDI monitors everything that arrives on and leaves two MIDI inputs and two outputs, sends any message typed as hexadecimal text (system exclusive dumps of any size included, paced, repeated, with progress), plays an on-screen and a computer keyboard, sweeps controllers, sends clock and transport, filters and passes MIDI through, and saves whole working setups as project files. It talks to the ALSA sequencer or a JACK server and has a built-in loopback.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TULVAR_HOMEPAGE})
set(CPACK_STRIP_FILES ON)
# Only the program and its data: tests, benchmarks and tools are never installed.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
include(CPack)
