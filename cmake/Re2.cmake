# RE2, for the patterns of payee rules, as the target re2::re2. Debian's comes
# with a pkg-config file; the one that tools/windows builds for the cross build
# installs CMake's own package files, which are looked for first.
find_package(re2 CONFIG QUIET)
if(TARGET re2::re2)
    set_target_properties(re2::re2 PROPERTIES IMPORTED_GLOBAL TRUE)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(RE2 REQUIRED IMPORTED_TARGET GLOBAL re2)
    add_library(re2::re2 ALIAS PkgConfig::RE2)
endif()
