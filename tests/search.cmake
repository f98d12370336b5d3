# The search screen: its criteria page with the main window's navigation, and its result page.
if(TARGET Qt5::Widgets)
    kv_add_test(searchcriteria LIBS kvscreens)
    kv_add_test(searchresult LIBS kvscreens)
endif()
