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
# Small images the skin's style sheets refer to; inside the program, so nothing on disk.
qt_add_resources(twr_gui "skinimages" PREFIX "/skin" BASE ${CMAKE_SOURCE_DIR}/resources/skin
  FILES
    ${CMAKE_SOURCE_DIR}/resources/skin/arrow-up.png
    ${CMAKE_SOURCE_DIR}/resources/skin/arrow-down.png
    ${CMAKE_SOURCE_DIR}/resources/skin/check.png)
