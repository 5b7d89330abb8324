# The skin engine: skin file parser, skinned windows, the loader of the skin library.
target_sources(twr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/skinfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinwindowstate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinengine.cpp
)
