# zpak_add_windows_resource(TARGET DESCRIPTION): compiles a resource script
# into the Windows program TARGET (windres with MinGW, rc with Visual C++):
# its version as Explorer's Details tab shows it (the product, this project's
# version, DESCRIPTION) and the wizard's icon, drawn from
# src/ui/resources/zpakwizard.svg by rsvg-convert at each size Windows shows
# and packed into a .ico by cmake/png_to_ico.py, when both tools are at hand.

find_program(ZPAK_RSVG_CONVERT rsvg-convert)
find_package(Python3 COMPONENTS Interpreter)
if(ZPAK_RSVG_CONVERT AND Python3_Interpreter_FOUND)
    set(ZPAK_ICON_FILE ${PROJECT_BINARY_DIR}/icon/zpakwizard.ico)
    set(svg ${PROJECT_SOURCE_DIR}/src/ui/resources/zpakwizard.svg)
    set(draw)
    set(pngs)
    foreach(size 16 24 32 48 64 256)
        set(png ${PROJECT_BINARY_DIR}/icon/zpakwizard-${size}.png)
        list(APPEND draw COMMAND ${ZPAK_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${svg})
        list(APPEND pngs ${png})
    endforeach()
    add_custom_command(OUTPUT ${ZPAK_ICON_FILE}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icon
                       ${draw}
                       COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/png_to_ico.py ${ZPAK_ICON_FILE} ${pngs}
                       DEPENDS ${svg} ${PROJECT_SOURCE_DIR}/cmake/png_to_ico.py
                       COMMENT "Drawing the wizard's icon as zpakwizard.ico"
                       VERBATIM)
    # Programs in any folder depend on the one file through this target.
    add_custom_target(zpak_icon DEPENDS ${ZPAK_ICON_FILE})
else()
    message(STATUS "No rsvg-convert or no Python: the Windows programs are built without their icon")
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
