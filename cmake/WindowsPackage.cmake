# The Windows folder and zip: the programs, the Qt and mingw DLLs they load, the
# plugins Qt loads by name, the user guide, LICENSE, README.txt and the licences
# of what is shipped with the programs. windeployqt
# does not run on Linux, so the list is kept here, and CheckWindowsDlls.cmake
# proves at install time, with objdump -p, that every DLL a shipped file imports
# is either shipped or part of Windows.
get_target_property(scrivane_qt_core_location Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT scrivane_qt_core_location)
    get_target_property(scrivane_qt_core_location Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(scrivane_qt_bin "${scrivane_qt_core_location}" DIRECTORY)
get_filename_component(scrivane_qt_prefix "${scrivane_qt_bin}" DIRECTORY)

install(FILES "${scrivane_qt_bin}/Qt6Core.dll" "${scrivane_qt_bin}/Qt6Gui.dll" "${scrivane_qt_bin}/Qt6Widgets.dll"
        DESTINATION .)
install(FILES "${scrivane_qt_prefix}/plugins/platforms/qwindows.dll" DESTINATION platforms)
install(FILES "${scrivane_qt_prefix}/plugins/styles/qwindowsvistastyle.dll" DESTINATION styles)

# The runtime of the compiler that built the programs, found where it installed them.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        find_file(found_${dll} ${dll} PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
        set(found "${found_${dll}}")
    endif()
    if(NOT found OR NOT EXISTS "${found}")
        message(FATAL_ERROR "The mingw runtime ${dll} was not found beside ${CMAKE_CXX_COMPILER}")
    endif()
    install(FILES "${found}" DESTINATION .)
endforeach()

install(FILES "${PROJECT_SOURCE_DIR}/packaging/windows/README.txt" DESTINATION .)
if(EXISTS "${PROJECT_SOURCE_DIR}/LICENSE")
    install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION .)
else()
    message(WARNING "No LICENSE at the top of the source tree: the zip goes out without one")
endif()

# The Qt DLLs come under the LGPL version 3 (which builds on the GPL version 3), and
# the compiler's runtime DLLs under their own terms; their texts travel with them,
# as does RE2's licence, which comes with the library built into the programs.
set(scrivane_licences
    "${re2_DIR}/../../../share/licenses/re2/LICENSE=RE2-LICENSE.txt"
    "/usr/share/common-licenses/LGPL-3=Qt-LGPL-3.txt"
    "/usr/share/common-licenses/GPL-3=GPL-3.txt"
    "/usr/share/doc/gcc-mingw-w64-base/copyright=mingw-gcc-runtime.txt"
    "/usr/share/doc/mingw-w64-x86-64-dev/copyright=mingw-w64-winpthreads.txt")
foreach(pair ${scrivane_licences})
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    if(NOT EXISTS "${from}")
        message(FATAL_ERROR "The licence text ${from} is missing; the zip must carry it")
    endif()
    install(FILES "${from}" DESTINATION licences RENAME "${to}")
endforeach()

find_program(SCRIVANE_OBJDUMP NAMES ${SCRIVANE_MINGW_TRIPLET}-objdump x86_64-w64-mingw32-objdump REQUIRED)
install(CODE "execute_process(COMMAND \"${CMAKE_COMMAND}\" -DFOLDER=\${CMAKE_INSTALL_PREFIX}
                              -DOBJDUMP=${SCRIVANE_OBJDUMP}
                              -P \"${PROJECT_SOURCE_DIR}/cmake/CheckWindowsDlls.cmake\"
                              COMMAND_ERROR_IS_FATAL ANY)")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME scrivane)
set(CPACK_PACKAGE_FILE_NAME "scrivane-${PROJECT_VERSION}-windows-x64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
include(CPack)
