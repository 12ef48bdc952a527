# zd_layer(TARGET SOURCE...): a layer's static library. Its headers in
# include/<layer>/ are its interface and the only include folder it exports, so a
# folder reaches only the layers it links (listed for moc too).
function(zd_layer target)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/include/*/*.h)
  add_library(${target} STATIC ${ARGN} ${headers})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
endfunction()
