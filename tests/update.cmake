kv_add_test(updatecore LIBS kvupdate SOURCES support/LoopbackHttpServer.cpp)
