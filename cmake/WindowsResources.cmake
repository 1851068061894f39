# scrivane_add_version_info(target file-name description)
# Gives a Windows program its icon and the version information that Explorer's
# Properties box shows, from the project version.
function(scrivane_add_version_info target file_name description)
    set(RC_FILE_NAME "${file_name}")
    set(RC_DESCRIPTION "${description}")
    set(icon "${PROJECT_SOURCE_DIR}/src/app/icons/scrivane.ico")
    set(RC_ICON_LINE "1 ICON \"${icon}\"")
    set(rc "${CMAKE_BINARY_DIR}/generated/${target}.rc")
    configure_file("${PROJECT_SOURCE_DIR}/src/app/version_info.rc.in" "${rc}" @ONLY)
    target_sources(${target} PRIVATE "${rc}")
endfunction()
