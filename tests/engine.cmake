kv_add_test(passengine LIBS kvengine)
kv_add_test(verification LIBS kvengine)
kv_add_test(wipeworker LIBS kvengine)
kv_add_test(unusedspace LIBS kvengine)
