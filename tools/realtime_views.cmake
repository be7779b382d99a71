if(TARGET tulvar_app)
    # realtime_views_screenshot: the timing clock (looped back), transport panel, active sensing and
    # custom message windows, saved as a PNG.
    # Run under a real X server: xvfb-run build/tools/realtime_views_screenshot out.png
    add_executable(realtime_views_screenshot ${CMAKE_CURRENT_LIST_DIR}/realtime_views_screenshot.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/ToolWindow.h)
    target_link_libraries(realtime_views_screenshot PRIVATE tulvar_app tulvar_testkit)
    target_include_directories(realtime_views_screenshot PRIVATE ${PROJECT_SOURCE_DIR})
endif()
