# What scripts/draw-layers shows of the CMake graph: the layers' libraries and the
# three programs, without tests, benchmarks, fuzz targets and outside libraries.
set(GRAPHVIZ_GRAPH_NAME "zipdemographics layers")
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS
    "_tests$" "^zd_testsupport$" "^zd_scripteddialogs$" "^zd_childprocess_support$" "^zd_bench_" "^zd_fuzz_"
    "^zd_installed_" "^zipdemographics-draw-artwork$" "_autogen" "^zipdemographics_"
    "_resources_[0-9]+$" "^zd_window_close_check$")
