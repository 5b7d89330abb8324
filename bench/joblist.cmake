# Job list speed: adding and sorting 10,000 rows, adding 1,000 real files through the dialog flow.
add_executable(joblist_bench ${CMAKE_CURRENT_LIST_DIR}/joblistbench.cpp)
target_link_libraries(joblist_bench PRIVATE twr_gui)
