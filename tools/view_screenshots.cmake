if(TARGET tulvar_app)
    # view_screenshots: the filter, MIDI settings, preferences, PC keyboard, about and licence
    # windows, one PNG each.  Run under a real X server: xvfb-run build/tools/view_screenshots docs/images
    add_executable(view_screenshots ${CMAKE_CURRENT_LIST_DIR}/view_screenshots.cpp ${CMAKE_CURRENT_LIST_DIR}/ToolWindow.h)
    target_link_libraries(view_screenshots PRIVATE tulvar_app tulvar_testkit)
    target_include_directories(view_screenshots PRIVATE ${PROJECT_SOURCE_DIR})
    # The licence text beside the tool too, so that its picture shows it.
    configure_file(${PROJECT_SOURCE_DIR}/resources/licenses/OpenSourceLicense.txt
        ${CMAKE_CURRENT_BINARY_DIR}/OpenSourceLicense.txt COPYONLY)
endif()
