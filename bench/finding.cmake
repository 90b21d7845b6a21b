# Finding and looking in the desktop program: a filter keystroke and a sort over the large
# archive's 40,000 textures, a repaint of a zoomed 1024 x 1024 picture, and the thumbnails.
if(ORVANEL_GUI)
  orvanel_add_bench(orvanel-bench-finding ${CMAKE_CURRENT_LIST_DIR}/FindingBench.cpp)
  target_link_libraries(orvanel-bench-finding PRIVATE orvanel_gui)
endif()
