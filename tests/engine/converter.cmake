# Tests of the converter part (twr_add_test(...)).
