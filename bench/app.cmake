if(ORVANEL_GUI)
  orvanel_add_bench(orvanel-bench-app ${CMAKE_CURRENT_LIST_DIR}/AppBench.cpp)
  target_link_libraries(orvanel-bench-app PRIVATE orvanel_gui)
endif()
