# tropilka_headers(<target>): others include the target's headers by its folder's name ("maze/Round.h") from a
# folder of the build that holds only that folder, so that a library sees only the folders of the libraries it
# links: maze/ neither the scene nor Qt Gui, the scene not the app.
function(tropilka_headers target)
  get_filename_component(name ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/include)
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/include/${name} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/include)
endfunction()
