# Tests of the converter: decoding and seeking, encoding, and the written files' safety.
twr_add_test(tst_converter_decode SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_converter_decode.cpp)
twr_add_test(tst_converter_encode SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_converter_encode.cpp)
twr_add_test(tst_converter_safety SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_converter_safety.cpp)
