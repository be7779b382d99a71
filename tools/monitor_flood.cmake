if(TARGET tulvar_app)
    # monitor_flood: 20,000 messages per second into the MIDI In monitor through the Loopback
    # service for 10 seconds; prints how late the window's timer ticks were, the memory and whether
    # the newest line is shown.  Run: build/tools/monitor_flood [seconds] [messages-per-second]
    add_executable(monitor_flood ${CMAKE_CURRENT_LIST_DIR}/monitor_flood.cpp ${CMAKE_CURRENT_LIST_DIR}/ToolWindow.h)
    target_link_libraries(monitor_flood PRIVATE tulvar_app tulvar_testkit)
    target_include_directories(monitor_flood PRIVATE ${PROJECT_SOURCE_DIR})

    # monitor_screenshot: the default layout (In monitor, Out monitor, editor) with traffic in it,
    # or the tool windows named by their identifiers side by side, saved as a PNG.  Run under a
    # real X server: xvfb-run build/tools/monitor_screenshot out.png [4 5:7 6 10]
    add_executable(monitor_screenshot ${CMAKE_CURRENT_LIST_DIR}/monitor_screenshot.cpp ${CMAKE_CURRENT_LIST_DIR}/ToolWindow.h)
    target_link_libraries(monitor_screenshot PRIVATE tulvar_app tulvar_testkit)
    target_include_directories(monitor_screenshot PRIVATE ${PROJECT_SOURCE_DIR})
endif()
