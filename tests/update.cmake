kv_add_test(updatecore LIBS kvupdate SOURCES support/LoopbackHttpServer.cpp)
kv_add_test(updatewindows LIBS kvscreens kvupdate SOURCES support/LoopbackHttpServer.cpp)
