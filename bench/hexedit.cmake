# Painting the hex editor: one frame with little and with much data, and a one-row scroll.
if(ORVANEL_GUI)
  orvanel_add_bench(orvanel-bench-hexedit ${CMAKE_CURRENT_LIST_DIR}/HexEditBench.cpp)
  target_link_libraries(orvanel-bench-hexedit PRIVATE orvanel_controls Qt6::Widgets Qt6::Test)
endif()
