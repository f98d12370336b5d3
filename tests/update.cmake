if(TARGET Qt5::Widgets)
    kv_add_test(update LIBS kvscreens kvupdate SOURCES support/LoopbackHttpServer.cpp)
endif()
