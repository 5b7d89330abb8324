# FileInfo speed: a thousand song-length files loaded for the list, and tag saves.
add_executable(fileinfo_bench ${CMAKE_CURRENT_LIST_DIR}/fileinfobench.cpp)
target_link_libraries(fileinfo_bench PRIVATE twr_core)
