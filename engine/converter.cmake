# The converter: decoding, encoding, encoder settings.
target_sources(twr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/converter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/converter.h
  ${CMAKE_CURRENT_LIST_DIR}/mp3settings.h
)
