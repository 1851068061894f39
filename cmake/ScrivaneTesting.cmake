# The full sample corpus, read in place; empty when there is none, and the tests
# that need it skip. A few samples are kept in tests/data for every clone.
if(EXISTS "${PROJECT_SOURCE_DIR}/../shared/corpus")
    get_filename_component(corpus_default "${PROJECT_SOURCE_DIR}/../shared/corpus" ABSOLUTE)
else()
    set(corpus_default "")
endif()
set(SCRIVANE_CORPUS_DIR "${corpus_default}" CACHE PATH "Folder of the full sample statement corpus (empty: none)")

# A cross-built test runs under Wine, where a path with no drive is read on the
# current drive, which need not be the one the Unix files are on (Z:).
if(WIN32 AND CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    set(SCRIVANE_HOST_DRIVE "Z:")
else()
    set(SCRIVANE_HOST_DRIVE "")
endif()

# scrivane_add_test(NAME SOURCES src... LIBS lib... [PROGRAMS program...] [GUI])
# Builds one Qt Test executable and registers it with ctest. GUI tests run on the
# offscreen platform and every test gets a private home, so that no test can touch
# the user's real settings. Each program the test starts is built first and its
# path reaches the test as a macro: scrivane-clean as SCRIVANE_CLEAN_PROGRAM.
function(scrivane_add_test name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;PROGRAMS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE scrivane_common Qt6::Test ${T_LIBS})
    # Header-only helpers of tests/support (samples.h) are there for every test.
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
    set(corpus "${SCRIVANE_CORPUS_DIR}")
    if(corpus)
        set(corpus "${SCRIVANE_HOST_DRIVE}${corpus}")
    endif()
    target_compile_definitions(${name} PRIVATE SCRIVANE_CORPUS_DIR="${corpus}"
                               SCRIVANE_TEST_DATA_DIR="${SCRIVANE_HOST_DRIVE}${PROJECT_SOURCE_DIR}/tests/data")
    foreach(program ${T_PROGRAMS})
        string(TOUPPER "${program}_PROGRAM" macro)
        string(REPLACE "-" "_" macro "${macro}")
        target_compile_definitions(${name} PRIVATE ${macro}="${SCRIVANE_HOST_DRIVE}$<TARGET_FILE:${program}>")
        add_dependencies(${name} ${program})
    endforeach()
    add_test(NAME ${name} COMMAND ${name})
    set(env "QT_QPA_PLATFORM=offscreen"
            "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/${name}/config"
            "HOME=${CMAKE_BINARY_DIR}/test-home/${name}"
            "LC_ALL=C.UTF-8")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
