# The selection screen, the confirmation and restart dialogs and the progress window.
if(TARGET Qt5::Widgets)
    kv_add_test(selection LIBS kvscreens)
endif()
