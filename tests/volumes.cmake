kv_add_test(sizestring LIBS kvapp)
kv_add_test(macvolumes LIBS kvvolumes)
kv_add_test(linuxvolumes LIBS kvvolumes)
