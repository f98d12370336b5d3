# The certificate (progress/) and the search worker and rules (screens/search/).
if(NOT TARGET kvsearch)
    add_subdirectory(${CMAKE_SOURCE_DIR}/screens/search ${CMAKE_BINARY_DIR}/screens/search)
endif()

kv_add_test(certificate LIBS kvprogress)
