# scrivane_add_test(NAME SOURCES src... LIBS lib... [PROGRAMS program...] [GUI])
# Builds one Qt Test executable and registers it with ctest. GUI tests run on the
# offscreen platform and every test gets a private home, so that no test can touch
# the user's real settings. Each program the test starts is built first and its
# path reaches the test as a macro: scrivane-clean as SCRIVANE_CLEAN_PROGRAM.
function(scrivane_add_test name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;PROGRAMS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE scrivane_common Qt6::Test ${T_LIBS})
    target_compile_definitions(${name} PRIVATE SCRIVANE_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
    foreach(program ${T_PROGRAMS})
        string(TOUPPER "${program}_PROGRAM" macro)
        string(REPLACE "-" "_" macro "${macro}")
        target_compile_definitions(${name} PRIVATE ${macro}="$<TARGET_FILE:${program}>")
        add_dependencies(${name} ${program})
    endforeach()
    add_test(NAME ${name} COMMAND ${name})
    set(env "QT_QPA_PLATFORM=offscreen"
            "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/${name}/config"
            "HOME=${CMAKE_BINARY_DIR}/test-home/${name}"
            "LC_ALL=C.UTF-8")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
