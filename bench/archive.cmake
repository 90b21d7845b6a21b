orvanel_add_bench(orvanel-bench-archive ${CMAKE_CURRENT_LIST_DIR}/CatalogueBench.cpp)
