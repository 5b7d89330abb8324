# Tests of the skin engine.
twr_add_test(tst_skinengine SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_skinengine.cpp)
twr_add_test(tst_skinlook SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_skinlook.cpp)
