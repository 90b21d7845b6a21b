# Texture decoding: DecodeImage on large textures, beside libsquish's own decompression.
orvanel_add_bench(orvanel-bench-decode ${CMAKE_CURRENT_LIST_DIR}/DecodeBench.cpp)
