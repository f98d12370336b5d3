kv_add_test(catalogtree LIBS kvcatalogs)
kv_add_test(catalogexpansion LIBS kvcatalogs)
