kv_add_test(catalogtree LIBS kvcatalogs)
kv_add_test(catalogexpansion LIBS kvcatalogs)
kv_add_test(installedapps LIBS kvcatalogs)
kv_add_test(tracejobs LIBS kvcli)
