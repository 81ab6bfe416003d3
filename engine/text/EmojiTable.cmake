# Turns Unicode's emoji-data.txt into the code point ranges of the three emoji
# properties the glyph engine asks for, as C++ arrays:
#   cmake -DIN=emoji-data.txt -DOUT=EmojiData.inc -P EmojiTable.cmake
file(READ "${IN}" content)
# The fields' ";" would split CMake's lists: each becomes ":" first.
string(REPLACE ";" ":" content "${content}")
set(arrays "")
foreach(property Emoji_Presentation Emoji_Modifier Extended_Pictographic)
    string(REGEX MATCHALL "\n[0-9A-F.]+ *: *${property}[ #]" entries "${content}")
    set(ranges "")
    foreach(entry IN LISTS entries)
        string(REGEX MATCH "([0-9A-F]+)(\\.\\.([0-9A-F]+))?" found "${entry}")
        set(first ${CMAKE_MATCH_1})
        set(last "${CMAKE_MATCH_3}")
        if(last STREQUAL "")
            set(last ${first})
        endif()
        string(APPEND ranges "    {0x${first}, 0x${last}},\n")
    endforeach()
    if(ranges STREQUAL "")
        message(FATAL_ERROR "${IN} holds no ${property}")
    endif()
    string(REPLACE "_" "" name ${property})
    string(APPEND arrays
        "constexpr std::pair<char32_t, char32_t> ${name}Ranges[] = {\n${ranges}};\n")
endforeach()
file(WRITE "${OUT}.new" "// Made from ${IN} by EmojiTable.cmake at build time.\n${arrays}")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
