# Each layer is reachable as "<layer>/header.h" only from targets that link it:
# the build tree gets one folder per layer holding a single link to the source
# folder, and only that folder goes on the layer's public include path. A core
# file that tries to include a window header then fails to compile.
function(q3_layer_includes target layer)
  set(root "${CMAKE_BINARY_DIR}/layer-include/${layer}")
  string(REPLACE "/" ";" parts "${layer}")
  list(GET parts -1 leaf)
  file(MAKE_DIRECTORY "${root}")
  file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${leaf}" SYMBOLIC)
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
