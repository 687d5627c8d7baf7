# The bar-code typefaces: generated from tools/make_fonts.py at build time, embedded into a target's
# resources under ":/fonts/", and installed with their licence into share/kelm/fonts (a prefix of the
# user's own) or share/fonts/truetype/kelm (a system-wide install).
set(KELM_DEJAVU_MONO /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
    CACHE FILEPATH "DejaVu Sans Mono, the source of the readable characters")
if(NOT EXISTS ${KELM_DEJAVU_MONO})
    message(FATAL_ERROR "${KELM_DEJAVU_MONO} is missing: install fonts-dejavu-core")
endif()

set(KELM_TYPEFACE_DIR ${CMAKE_BINARY_DIR}/fonts)
set(KELM_TYPEFACE_FILES
    ${KELM_TYPEFACE_DIR}/TamroskStripe39dLo-Regular.ttf
    ${KELM_TYPEFACE_DIR}/TamroskStripe39dUp-Regular.ttf)
set(KELM_TYPEFACE_GENERATOR ${CMAKE_SOURCE_DIR}/tools/make_fonts.py)

# kelm_add_typefaces(TARGET): call from the folder that defines TARGET (the rule must live there).
function(kelm_add_typefaces target)
    add_custom_command(
        OUTPUT ${KELM_TYPEFACE_FILES}
        COMMAND ${KELM_PYTHON} ${KELM_TYPEFACE_GENERATOR} ${KELM_TYPEFACE_DIR} --mono ${KELM_DEJAVU_MONO}
        DEPENDS ${KELM_TYPEFACE_GENERATOR} ${KELM_DEJAVU_MONO}
        COMMENT "Generating the bar-code typefaces"
        VERBATIM)
    qt_add_resources(${target} "typefaces" PREFIX "/fonts" BASE ${KELM_TYPEFACE_DIR}
                     FILES ${KELM_TYPEFACE_FILES})
    install(FILES ${KELM_TYPEFACE_FILES} ${CMAKE_SOURCE_DIR}/resources/fonts/LICENSE-DejaVu.txt
            DESTINATION ${KELM_SHARE_INSTALL_DIR}/fonts ${KELM_PER_USER_INSTALL})
    install(FILES ${KELM_TYPEFACE_FILES} ${CMAKE_SOURCE_DIR}/resources/fonts/LICENSE-DejaVu.txt
            DESTINATION ${CMAKE_INSTALL_DATADIR}/fonts/truetype/kelm ${KELM_SYSTEM_INSTALL})
endfunction()
