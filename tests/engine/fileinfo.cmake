# Tests of file properties, tags and sound output.
twr_add_test(tst_fileinfo SOURCES tst_fileinfo.cpp tst_fileinfo_fixtures.cpp)
twr_add_test(tst_tags SOURCES tst_tags.cpp tst_fileinfo_fixtures.cpp)
twr_add_test(tst_audioplayer SOURCES tst_audioplayer.cpp tst_fileinfo_fixtures.cpp)
