include_guard(GLOBAL)

# The fonts the tests draw with: exactly the font files scripts/install-deps.sh
# installs, in a font configuration of the suite's own, so that fonts or a
# desktop's configuration installed beside them change no result.
set(test_font_files
    /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
    /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
    /usr/share/fonts/opentype/ipafont-mincho/ipam.ttf
    /usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
    /usr/share/fonts/truetype/noto/NotoColorEmoji.ttf)
set(test_fonts ${CMAKE_BINARY_DIR}/test-fonts)
file(REMOVE_RECURSE ${test_fonts}/files)
file(MAKE_DIRECTORY ${test_fonts}/files)
foreach(font IN LISTS test_font_files)
    if(NOT EXISTS ${font})
        message(FATAL_ERROR "${font} is missing: scripts/install-deps.sh installs the test fonts")
    endif()
    get_filename_component(name ${font} NAME)
    file(CREATE_LINK ${font} ${test_fonts}/files/${name} SYMBOLIC)
endforeach()
file(WRITE ${test_fonts}/fonts.conf
    "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
    "<fontconfig>\n  <dir>${test_fonts}/files</dir>\n  <cachedir>${test_fonts}/cache</cachedir>\n"
    "</fontconfig>\n")
set(VELMORA_TEST_FONTCONFIG ${test_fonts}/fonts.conf)
