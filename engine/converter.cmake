# Sources of the converter part (target_sources(twr_core ...) or twr_gui).
