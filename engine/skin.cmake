# The skin engine: skin file parser, skinned windows, the loader of the skin library.
target_sources(twr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/skinfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinwindowstate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinengine.cpp
)
target_sources(twr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/skinlibrary.cpp
)
# Whatever links the engine finds the skin library built beside it.
add_dependencies(twr_core twrLib)
