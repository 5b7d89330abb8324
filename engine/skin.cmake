# Sources of the skin part (target_sources(twr_core ...) or twr_gui).
