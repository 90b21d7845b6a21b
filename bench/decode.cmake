# Texture decoding: DecodeImage on large textures, beside libsquish's own decompression (whose
# OpenMP team the one-thread anchor sets to a single thread).
find_package(OpenMP REQUIRED)
orvanel_add_bench(orvanel-bench-decode ${CMAKE_CURRENT_LIST_DIR}/DecodeBench.cpp)
target_link_libraries(orvanel-bench-decode PRIVATE OpenMP::OpenMP_CXX)
