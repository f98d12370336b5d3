# The search screen: its criteria page with the main window's navigation, its result page,
# and a search erased from end to end through the confirmation and progress windows.
if(TARGET Qt5::Widgets)
    kv_add_test(searchcriteria LIBS kvscreens)
    kv_add_test(searchresult LIBS kvscreens)
    kv_add_test(searcherase LIBS kvscreens)
endif()
