orvanel_add_bench(orvanel-bench-compare ${CMAKE_CURRENT_LIST_DIR}/CompareBench.cpp)
