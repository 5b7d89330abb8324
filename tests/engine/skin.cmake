# Tests of the skin engine.
twr_add_test(tst_skinengine SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_skinengine.cpp)
