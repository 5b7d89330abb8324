# The converter: decoding, encoding, encoder settings.
target_sources(twr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/audiodecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audiodecoder.h
  ${CMAKE_CURRENT_LIST_DIR}/audioencoder.h
  ${CMAKE_CURRENT_LIST_DIR}/converter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/converter.h
  ${CMAKE_CURRENT_LIST_DIR}/encodersettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encodersettings.h
  ${CMAKE_CURRENT_LIST_DIR}/ffmpegencoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ffmpegencoder.h
  ${CMAKE_CURRENT_LIST_DIR}/ffmpeghandles.h
  ${CMAKE_CURRENT_LIST_DIR}/mp3encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mp3encoder.h
  ${CMAKE_CURRENT_LIST_DIR}/mp3settings.h
  ${CMAKE_CURRENT_LIST_DIR}/opensources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/opensources.h
  ${CMAKE_CURRENT_LIST_DIR}/pcmquantizer.h
  ${CMAKE_CURRENT_LIST_DIR}/resampler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resampler.h
)
