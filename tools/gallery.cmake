# The widget gallery: every custom widget in one window (see tools/gallery.cpp).
add_executable(gallery ${CMAKE_CURRENT_LIST_DIR}/gallery.cpp)
target_link_libraries(gallery PRIVATE tulvar_widgets tulvar_support Qt5::Widgets)
