# The bundle around the executable: Info.plist and Resources/ beside bin/, in the build tree
# (build/bundle) and in an installed tree (<prefix>/${KV_INSTALL_BUNDLE_DIR}), plus a desktop
# entry, an icon and a command in <prefix>/bin.
set(KV_BUNDLE_SOURCE ${CMAKE_SOURCE_DIR}/resources/bundle)
file(GLOB_RECURSE _kv_bundle_files CONFIGURE_DEPENDS RELATIVE ${KV_BUNDLE_SOURCE} ${KV_BUNDLE_SOURCE}/*)
set(_kv_bundle_outputs)
foreach(_file ${_kv_bundle_files})
    add_custom_command(OUTPUT ${KV_BUNDLE_DIR}/${_file}
        COMMAND ${CMAKE_COMMAND} -E copy ${KV_BUNDLE_SOURCE}/${_file} ${KV_BUNDLE_DIR}/${_file}
        DEPENDS ${KV_BUNDLE_SOURCE}/${_file}
        COMMENT "Bundle: ${_file}" VERBATIM)
    list(APPEND _kv_bundle_outputs ${KV_BUNDLE_DIR}/${_file})
endforeach()
add_custom_target(kv-bundle-files ALL DEPENDS ${_kv_bundle_outputs})
add_dependencies(korvane-file-eraser kv-bundle-files)

set(KV_INSTALL_BUNDLE_DIR "lib/korvane-file-eraser" CACHE STRING "The bundle folder, relative to the install prefix")
install(TARGETS korvane-file-eraser RUNTIME DESTINATION ${KV_INSTALL_BUNDLE_DIR}/bin)
install(DIRECTORY ${KV_BUNDLE_SOURCE}/ DESTINATION ${KV_INSTALL_BUNDLE_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/images/TitleBar/AppIcon.png
    DESTINATION share/icons/hicolor/256x256/apps RENAME korvane-file-eraser.png)
# The desktop entry names the executable by its final path, known only at install time.
install(CODE "
    set(KV_INSTALL_FULL_BUNDLE \"\${CMAKE_INSTALL_PREFIX}/${KV_INSTALL_BUNDLE_DIR}\")
    configure_file(\"${CMAKE_SOURCE_DIR}/resources/desktop/korvane-file-eraser.desktop.in\"
                   \"${CMAKE_BINARY_DIR}/korvane-file-eraser.desktop\" @ONLY)
    file(INSTALL DESTINATION \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications\" TYPE FILE
         FILES \"${CMAKE_BINARY_DIR}/korvane-file-eraser.desktop\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK \"../${KV_INSTALL_BUNDLE_DIR}/bin/korvane-file-eraser\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/korvane-file-eraser\" SYMBOLIC)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/korvane-file-eraser -> ../${KV_INSTALL_BUNDLE_DIR}/bin/korvane-file-eraser\")
")
