# The environment every test runs in: the offscreen platform, a private runtime folder (so Qt's
# standard paths have nothing to warn about on a bare CI machine), and QT_FATAL_WARNINGS: a Qt
# warning or critical message aborts the test that caused it, since a warning is a fault here.
set(PERIKON_TEST_RUNTIME_DIR ${CMAKE_BINARY_DIR}/test-runtime)
file(MAKE_DIRECTORY ${PERIKON_TEST_RUNTIME_DIR})
file(CHMOD ${PERIKON_TEST_RUNTIME_DIR} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(PERIKON_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false;QT_FATAL_WARNINGS=1;XDG_RUNTIME_DIR=${PERIKON_TEST_RUNTIME_DIR}")

# perikon_add_test(<name> [WIDGETS] SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>])
# One QtTest binary per unit, run offscreen under CTest. PERIKON_TEST_SOURCE_DIR lets a test find
# its data files (golden files, fixtures) next to its sources.
# WIDGETS: a test that shows windows. The offscreen platform warns about what it cannot do as soon
# as a window shows, so such a test fails on the other warnings itself: its init() calls
# perikon::testing::failOnUnexpectedWarnings() (tests/support/FailOnWarnings.h).
function(perikon_add_test name)
    cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        PERIKON_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
        PERIKON_SOURCE_ROOT="${PROJECT_SOURCE_DIR}")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set(environment ${PERIKON_TEST_ENVIRONMENT})
    if(ARG_WIDGETS)
        list(REMOVE_ITEM environment QT_FATAL_WARNINGS=1)
        set_target_properties(${name} PROPERTIES PERIKON_WIDGETS ON)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600)
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()

# perikon_add_postgres_test(<name> <test binary> [args...]): the same test binary run once more
# against the shared server (PERIKON_TEST_PG), each run in a database of its own.
function(perikon_add_postgres_test name binary)
    add_test(NAME ${name} COMMAND ${binary} ${ARGN})
    # A widget test keeps its own warning rule (see perikon_add_test).
    set(environment ${PERIKON_TEST_ENVIRONMENT})
    get_target_property(widgets ${binary} PERIKON_WIDGETS)
    if(widgets)
        list(REMOVE_ITEM environment QT_FATAL_WARNINGS=1)
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${environment};PERIKON_TEST_BACKEND=postgres"
        LABELS postgres TIMEOUT 900)
endfunction()
