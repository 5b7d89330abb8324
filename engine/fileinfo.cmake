# File properties and tags (FFmpeg, TagLib) and sound output (SDL2).
target_sources(twr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/fileinfo.h
  ${CMAKE_CURRENT_LIST_DIR}/fileinfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tagfields.h
  ${CMAKE_CURRENT_LIST_DIR}/genres.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tagstore.h
  ${CMAKE_CURRENT_LIST_DIR}/tagstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tagio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tagcopy.h
  ${CMAKE_CURRENT_LIST_DIR}/tagcopy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audioplayer.h
  ${CMAKE_CURRENT_LIST_DIR}/audioplayer.cpp
)
