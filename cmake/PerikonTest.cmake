# perikon_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>])
# One QtTest binary per unit, run offscreen under CTest. PERIKON_TEST_SOURCE_DIR lets a test find
# its data files (golden files, fixtures) next to its sources.
function(perikon_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        PERIKON_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
        PERIKON_SOURCE_ROOT="${PROJECT_SOURCE_DIR}")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false"
        TIMEOUT 600)
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
