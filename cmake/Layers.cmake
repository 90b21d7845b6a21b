# Each folder of the program is one layer with its own library. A layer's include path holds
# only its own folder; it reaches the folders below it through the libraries it links, so an
# include of a higher floor does not compile. The folder is made visible through a link in the
# build tree, one link per layer, so that the source root itself is never on an include path.
function(orvanel_layer_includes target folder)
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
