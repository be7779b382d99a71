# The widget gallery: every custom widget in one window (see tools/gallery.cpp).
add_executable(gallery ${CMAKE_CURRENT_LIST_DIR}/gallery.cpp)
target_link_libraries(gallery PRIVATE tulvar_widgets tulvar_support Qt5::Widgets)

# The gallery must keep building and drawing: take one picture offscreen.
add_test(NAME tools/gallery COMMAND gallery --screenshot ${CMAKE_CURRENT_BINARY_DIR}/gallery.png)
set_tests_properties(tools/gallery PROPERTIES
    LABELS "widgets"
    TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2;HOME=${CMAKE_BINARY_DIR}/test-home/gallery;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/gallery/.config;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/test-home/gallery/run")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-home/gallery/.config ${CMAKE_BINARY_DIR}/test-home/gallery/run)
