# twr-convert against the ffmpeg program: `cmake --build <dir> --target bench-convert`.
add_custom_target(bench-convert
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/convert_bench.sh $<TARGET_FILE_DIR:twr-convert>
  DEPENDS twr-convert
  USES_TERMINAL)
