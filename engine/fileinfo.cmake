# Sources of the fileinfo part (target_sources(twr_core ...) or twr_gui).
