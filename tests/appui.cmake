# The desktop application: common windows, main window, settings, start-up.
if(TARGET Qt5::Widgets)
    kv_add_test(commonwindows LIBS kvwidgets)
    kv_add_test(mainwindow LIBS kvscreens)
    kv_add_test(settings LIBS kvscreens)
    kv_add_test(singleinstance LIBS kvapp)
    add_dependencies(tst_singleinstance korvane-file-eraser)
    target_compile_definitions(tst_singleinstance PRIVATE
        KV_APP_EXECUTABLE="$<TARGET_FILE:korvane-file-eraser>")
endif()
