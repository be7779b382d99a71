# draw_images draws the program's images and its application icon. They are committed under
# resources/images/ and resources/icons/hicolor/;
# redraw them with: cmake --build build --target draw-images
add_executable(draw_images ${CMAKE_CURRENT_LIST_DIR}/draw_images.cpp)
target_link_libraries(draw_images PRIVATE Qt5::Gui)
add_custom_target(draw-images
    COMMAND draw_images ${PROJECT_SOURCE_DIR}/resources/images ${PROJECT_SOURCE_DIR}/resources/icons/hicolor
    COMMENT "Drawing resources/images and resources/icons"
    VERBATIM)
