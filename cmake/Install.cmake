# What `cmake --install` puts where desktops find it, and the Debian package around it.
include(GNUInstallDirs)
set(AMBRIN_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/ambrin)  # under the package's own name

set(AMBRIN_APP_ID example.velmora.Ambrin)
set(AMBRIN_ICON_SIZES 16 22 24 32 48 64 128 256 512)

add_executable(ambrin_render_icons tools/RenderIcons.cpp)
target_link_libraries(ambrin_render_icons PRIVATE Qt6::Gui Qt6::Svg ambrin_options)
set(icon_folder ${CMAKE_CURRENT_BINARY_DIR}/icons)
add_custom_command(
    OUTPUT ${icon_folder}/256x256/ambrin.png
    COMMAND ambrin_render_icons ${PROJECT_SOURCE_DIR}/resources/icons/ambrin.svg ${icon_folder}
            ${AMBRIN_ICON_SIZES}
    DEPENDS ambrin_render_icons ${PROJECT_SOURCE_DIR}/resources/icons/ambrin.svg
    COMMENT "Rendering the application icon")
add_custom_target(ambrin_icons ALL DEPENDS ${icon_folder}/256x256/ambrin.png)

install(TARGETS ambrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/linux/${AMBRIN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/linux/${AMBRIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/icons/ambrin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS AMBRIN_ICON_SIZES)
    install(FILES ${icon_folder}/${size}x${size}/ambrin.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES docs/ambrin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The user guide F1 opens when there is no Ambrin.hlp: the README's user sections as HTML, with
# their pictures beside it (in the build tree too, for a program run from there).
add_executable(ambrin_guide tools/GuideFromReadme.cpp)
set(guide_folder ${CMAKE_CURRENT_BINARY_DIR}/guide)
file(GLOB guide_pictures ${PROJECT_SOURCE_DIR}/docs/*.png)
add_custom_command(
    OUTPUT ${guide_folder}/guide.html
    COMMAND ${CMAKE_COMMAND} -E make_directory ${guide_folder}/docs
    COMMAND ${CMAKE_COMMAND} -E copy ${guide_pictures} ${guide_folder}/docs
    COMMAND ambrin_guide ${PROJECT_SOURCE_DIR}/README.md ${guide_folder}/guide.html
    DEPENDS ambrin_guide ${PROJECT_SOURCE_DIR}/README.md ${guide_pictures}
    COMMENT "Making the user guide")
add_custom_target(ambrin_user_guide ALL DEPENDS ${guide_folder}/guide.html)
install(FILES ${guide_folder}/guide.html DESTINATION ${AMBRIN_DOC_DIR})
install(FILES ${guide_pictures} DESTINATION ${AMBRIN_DOC_DIR}/docs)
# Found from the program's own folder, wherever the package puts both.
file(RELATIVE_PATH guide_from_program /${CMAKE_INSTALL_BINDIR} /${AMBRIN_DOC_DIR}/guide.html)
target_compile_definitions(ambrin_ui PRIVATE
    AMBRIN_GUIDE_INSTALLED="${guide_from_program}"
    AMBRIN_GUIDE_BUILT="${guide_folder}/guide.html")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ambrin)
set(CPACK_PACKAGE_VENDOR "Velmora Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}.0)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop time tracker that stays on top")
set(CPACK_PACKAGE_DESCRIPTION
    "A thin strip above your windows where you pick the project you work on; every record is kept in a plain comma-separated log.")
set(CPACK_PACKAGE_CONTACT "Velmora Software <ambrin@velmora-software.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # dependencies computed from the binary
# Qt loads its platform plugins (xcb, wayland) at run time, where no linker sees them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velmora-software.example/ambrin)
set(CPACK_STRIP_FILES ON)
include(CPack)

# Pictures of every window for the documentation (not installed).
add_executable(ambrin_screenshots EXCLUDE_FROM_ALL tools/Screenshots.cpp)
target_include_directories(ambrin_screenshots PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(ambrin_screenshots PRIVATE ambrin_ui Qt6::Test)
