kv_add_test(catalogtree LIBS kvcatalogs)
