# Compiler settings shared by every target of the project, carried by one
# INTERFACE target so that third-party code (none today) is never held to them.
add_library(scrivane_common INTERFACE)
target_compile_features(scrivane_common INTERFACE cxx_std_20)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(scrivane_common INTERFACE -Wall -Wextra -Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 at -O3 reports overlapping copies inside std::string concatenation
    # where there are none (GCC bug 105651); the warning cannot be acted on.
    target_compile_options(scrivane_common INTERFACE -Wno-restrict)
endif()

if(SCRIVANE_SANITIZE)
    # ASan + UBSan for the whole build, tests included; any report aborts.
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()
