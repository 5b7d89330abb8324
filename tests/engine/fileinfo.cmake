# Tests of the fileinfo part (twr_add_test(...)).
