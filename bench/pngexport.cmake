orvanel_add_bench(orvanel-bench-png-export ${CMAKE_CURRENT_LIST_DIR}/PngExportBench.cpp)
target_link_libraries(orvanel-bench-png-export PRIVATE orvanel_content)
