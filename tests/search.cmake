# The search screen: its criteria page, its result page, and a search erased from end to end
# from the main window through the confirmation and progress windows.
if(TARGET Qt5::Widgets)
    kv_add_test(searchscreen LIBS kvscreens)
endif()
