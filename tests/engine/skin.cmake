# Tests of the skin part (twr_add_test(...)).
