# The installed programs, run as an ordinary user.
if(TARGET korvane-file-eraser AND TARGET korvane-erase)
    kv_add_test(installation LIBS kvengine)
    add_dependencies(tst_installation korvane-file-eraser korvane-erase)
    target_compile_definitions(tst_installation PRIVATE
        KV_CMAKE_COMMAND="${CMAKE_COMMAND}" KV_BINARY_DIR="${CMAKE_BINARY_DIR}")
endif()
