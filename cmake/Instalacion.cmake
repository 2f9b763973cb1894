# What `cmake --install` puts where a Debian desktop expects it, and the .deb
# that CPack makes of the same tree (./scripts/paquete builds and checks it).
#
# The program loads Qt's own Spanish texts from the system's Qt translations
# folder (src/ui/traducciones.cpp), so it ships no translation file of its
# own: the package depends on qt6-translations-l10n instead.
include(GNUInstallDirs)
# Folders the package makes are 0755 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(BREVALUX_DATOS ${PROJECT_SOURCE_DIR}/data)
set(BREVALUX_MANTENEDOR "Mantenedores de brevalux <brevalux@example.org>"
    CACHE STRING "Nombre y correo del mantenedor del paquete .deb")

foreach(programa brevalux cartel-virtual cartel-enviar)
    if(TARGET ${programa})
        install(TARGETS ${programa} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES ${BREVALUX_DATOS}/brevalux.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${BREVALUX_DATOS}/org.example.brevalux.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# One timetable runner per working folder, as a systemd user service.
install(FILES ${BREVALUX_DATOS}/systemd/cartel-programacion@.service
        DESTINATION lib/systemd/user)
install(FILES ${BREVALUX_DATOS}/iconos/brevalux.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The PNG sizes are the very pixels the program draws for its own windows:
# a small program paints them at build time, offscreen.
set(BREVALUX_LADOS_DEL_ICONO 16 24 32 48 64)
if(TARGET carteles_ui)
    add_executable(dibujar_icono ${PROJECT_SOURCE_DIR}/packaging/dibujaricono.cpp)
    target_link_libraries(dibujar_icono PRIVATE carteles_opciones carteles_ui)
    set(pngs)
    foreach(lado ${BREVALUX_LADOS_DEL_ICONO})
        list(APPEND pngs ${CMAKE_BINARY_DIR}/iconos/${lado}x${lado}/brevalux.png)
    endforeach()
    add_custom_command(OUTPUT ${pngs}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:dibujar_icono> ${CMAKE_BINARY_DIR}/iconos ${BREVALUX_LADOS_DEL_ICONO}
        DEPENDS dibujar_icono
        COMMENT "Dibujando el icono en ${BREVALUX_LADOS_DEL_ICONO} píxeles")
    add_custom_target(iconos_png ALL DEPENDS ${pngs})
    foreach(lado ${BREVALUX_LADOS_DEL_ICONO})
        install(FILES ${CMAKE_BINARY_DIR}/iconos/${lado}x${lado}/brevalux.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${lado}x${lado}/apps)
    endforeach()
endif()

# Manual pages are written in roff; Debian wants them compressed, without a
# time stamp so that two builds give the same bytes.
find_program(BREVALUX_GZIP gzip REQUIRED)
set(paginas brevalux cartel-virtual)
if(TARGET cartel-enviar)
    list(APPEND paginas cartel-enviar)
endif()
set(comprimidas)
foreach(pagina ${paginas})
    set(fuente ${BREVALUX_DATOS}/man/${pagina}.1)
    set(destino ${CMAKE_BINARY_DIR}/man/${pagina}.1.gz)
    add_custom_command(OUTPUT ${destino}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND ${BREVALUX_GZIP} -9 -n -c ${fuente} > ${destino}
        DEPENDS ${fuente}
        VERBATIM)
    list(APPEND comprimidas ${destino})
endforeach()
add_custom_target(paginas_de_manual ALL DEPENDS ${comprimidas})
install(FILES ${comprimidas} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND ${BREVALUX_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(changelog_comprimido ALL DEPENDS ${changelog})
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The package. Its library dependencies come from the binaries
# (dpkg-shlibdeps); what Qt loads at run time without linking it, and the
# fonts the dialogs name, are added by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevalux)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "${BREVALUX_MANTENEDOR}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BREVALUX_MANTENEDOR}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# tzdata: the timetable runs on the local wall clock, which Qt reads from it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-dejavu-core, fonts-dejavu-extra, tzdata")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "socat")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor y emisor de mensajes para carteles electrónicos")
# CPack puts the summary first and turns each empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Escribe textos con etiquetas de efecto ([titila], [sube], [v0]...), elige
los carteles de una línea serie que los muestran, los guarda como archivos
y los envía por el puerto serie, cada uno enmarcado con la dirección de su
cartel.

Trae además cartel-enviar, que manda un texto o un documento guardado sin
abrir el programa, y cartel-virtual, un cartel de prueba sobre una
pseudo-terminal.")
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
