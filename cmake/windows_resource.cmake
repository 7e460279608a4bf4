# zpak_add_windows_resource(TARGET DESCRIPTION [MANIFEST file]): compiles a
# resource script into the Windows program TARGET (windres with MinGW, rc with
# Visual C++): its version as Explorer's Details tab shows it (the product,
# this project's version, DESCRIPTION), the wizard's icon, and the
# application manifest when one is given. The icon is drawn from
# src/ui/resources/zpakwizard.svg by rsvg-convert at each size Windows shows
# (ZPAK_ICON_PNGS, which the window also carries) and packed into a .ico by
# cmake/png_to_ico.py, when both tools are at hand.

find_program(ZPAK_RSVG_CONVERT rsvg-convert)
find_package(Python3 COMPONENTS Interpreter)
set(ZPAK_ICON_DIR ${PROJECT_BINARY_DIR}/icon)
set(ZPAK_ICON_PNGS)
if(ZPAK_RSVG_CONVERT)
    set(svg ${PROJECT_SOURCE_DIR}/src/ui/resources/zpakwizard.svg)
    # What the title bar, the task bar and Explorer ask for at 100 % to 250 %.
    foreach(size 16 20 24 32 40 48 64 128 256)
        set(png ${ZPAK_ICON_DIR}/zpakwizard-${size}.png)
        add_custom_command(OUTPUT ${png}
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${ZPAK_ICON_DIR}
                           COMMAND ${ZPAK_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${svg}
                           DEPENDS ${svg}
                           VERBATIM)
        list(APPEND ZPAK_ICON_PNGS ${png})
    endforeach()
endif()
if(ZPAK_RSVG_CONVERT AND Python3_Interpreter_FOUND)
    set(ZPAK_ICON_FILE ${ZPAK_ICON_DIR}/zpakwizard.ico)
    add_custom_command(OUTPUT ${ZPAK_ICON_FILE}
                       COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/png_to_ico.py ${ZPAK_ICON_FILE}
                               ${ZPAK_ICON_PNGS}
                       DEPENDS ${ZPAK_ICON_PNGS} ${PROJECT_SOURCE_DIR}/cmake/png_to_ico.py
                       COMMENT "Drawing the wizard's icon as zpakwizard.ico"
                       VERBATIM)
    # Programs in any folder depend on the one file through this target.
    add_custom_target(zpak_icon DEPENDS ${ZPAK_ICON_FILE})
else()
    message(STATUS "No rsvg-convert or no Python: the Windows programs are built without their icon")
endif()

function(zpak_add_windows_resource target description)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "MANIFEST" "")
    set(ZPAK_RC_NAME ${target})
    set(ZPAK_RC_DESCRIPTION ${description})
    set(ZPAK_RC_ICON "")
    set(ZPAK_RC_MANIFEST "")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    set(depends)
    if(TARGET zpak_icon)
        set(ZPAK_RC_ICON "1 ICON \"${ZPAK_ICON_FILE}\"")
        add_dependencies(${target} zpak_icon)
        list(APPEND depends ${ZPAK_ICON_FILE})
    endif()
    if(arg_MANIFEST)
        # Resource 1 of type RT_MANIFEST: what Windows reads as the program starts.
        set(ZPAK_RC_MANIFEST "1 24 \"${arg_MANIFEST}\"")
        list(APPEND depends ${arg_MANIFEST})
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows_resource.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${depends}")
    target_sources(${target} PRIVATE ${rc})
endfunction()
