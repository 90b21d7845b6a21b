orvanel_add_bench(orvanel-bench-export ${CMAKE_CURRENT_LIST_DIR}/ExportBench.cpp)
target_link_libraries(orvanel-bench-export PRIVATE orvanel_content)
