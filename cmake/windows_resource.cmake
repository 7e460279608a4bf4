# zpak_add_windows_resource(TARGET DESCRIPTION): compiles a resource script
# into the Windows program TARGET (windres with MinGW, rc with Visual C++):
# its version as Explorer's Details tab shows it (the product, this project's
# version, DESCRIPTION) and the wizard's icon (src/ui/resources/zpakwizard.xpm,
# written as a .ico by cmake/xpm_to_ico.py when Python is at hand).

find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
    set(ZPAK_ICON_FILE ${PROJECT_BINARY_DIR}/zpakwizard.ico)
    set(ZPAK_ICON_SOURCE ${PROJECT_SOURCE_DIR}/src/ui/resources/zpakwizard.xpm)
    add_custom_command(OUTPUT ${ZPAK_ICON_FILE}
                       COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/xpm_to_ico.py
                               ${ZPAK_ICON_SOURCE} ${ZPAK_ICON_FILE}
                       DEPENDS ${PROJECT_SOURCE_DIR}/cmake/xpm_to_ico.py ${ZPAK_ICON_SOURCE}
                       COMMENT "Writing the wizard's icon as zpakwizard.ico"
                       VERBATIM)
    # Programs in any folder depend on the one file through this target.
    add_custom_target(zpak_icon DEPENDS ${ZPAK_ICON_FILE})
else()
    message(STATUS "No Python: the Windows programs are built without their icon")
endif()

function(zpak_add_windows_resource target description)
    set(ZPAK_RC_NAME ${target})
    set(ZPAK_RC_DESCRIPTION ${description})
    set(ZPAK_RC_ICON "")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    if(TARGET zpak_icon)
        set(ZPAK_RC_ICON "1 ICON \"${ZPAK_ICON_FILE}\"")
        add_dependencies(${target} zpak_icon)
        set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ZPAK_ICON_FILE})
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows_resource.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
