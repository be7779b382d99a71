# The project file reader over untrusted bytes. Its sources are built once more with edge
# coverage and the sanitizers; Qt itself stays uninstrumented.
add_library(tulvar_project_file_fuzzing STATIC
    ${PROJECT_SOURCE_DIR}/persistence/FileStream.cpp
    ${PROJECT_SOURCE_DIR}/persistence/ProjectFileHelper.cpp
    ${PROJECT_SOURCE_DIR}/persistence/ProjectWindowsIF.cpp
    ${PROJECT_SOURCE_DIR}/persistence/WindowRestorationInfo.cpp)
set_target_properties(tulvar_project_file_fuzzing PROPERTIES AUTOMOC OFF)
target_include_directories(tulvar_project_file_fuzzing PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tulvar_project_file_fuzzing PUBLIC Qt5::Core)
target_compile_options(tulvar_project_file_fuzzing PRIVATE -O1 -fsanitize=fuzzer-no-link,address,undefined
                                                          -fno-sanitize-recover=all)
tulvar_add_fuzzer(fuzz_project_file tulvar_project_file_fuzzing tulvar_testkit)
set_target_properties(fuzz_project_file PROPERTIES AUTOMOC OFF)
target_compile_options(fuzz_project_file PRIVATE -O1)
