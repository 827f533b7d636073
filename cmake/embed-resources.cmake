# Writes OUTPUT, a C++ source that defines the resource table of the files that SCRIPT (a
# resource script) names, found beside it or in SEARCH ("|"-separated folders).
get_filename_component(script_dir ${SCRIPT} DIRECTORY)
string(REPLACE "|" ";" search "${SEARCH}")
file(STRINGS ${SCRIPT} lines REGEX "^[0-9]+[ \t]+[A-Za-z_]+[ \t]+\"[^\"]+\"")

set(arrays "")
set(rows "")
set(index 0)
foreach(line IN LISTS lines)
    string(REGEX MATCH "^([0-9]+)[ \t]+([A-Za-z_]+)[ \t]+\"([^\"]+)\"" unused "${line}")
    set(id ${CMAKE_MATCH_1})
    string(TOUPPER ${CMAKE_MATCH_2} type)
    set(name ${CMAKE_MATCH_3})
    set(file "")
    foreach(dir IN ITEMS ${script_dir} ${search})
        if(EXISTS ${dir}/${name})
            set(file ${dir}/${name})
            break()
        endif()
    endforeach()
    if(file STREQUAL "")
        message(FATAL_ERROR "${SCRIPT}: cannot find ${name}")
    endif()
    file(READ ${file} hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    if(size EQUAL 0)
        set(bytes "0")
    endif()
    string(APPEND arrays "const unsigned char resource${index}[] = {${bytes}};\n")
    string(APPEND rows "    {u\"${type}\", ${id}, resource${index}, ${size}},\n")
    math(EXPR index "${index} + 1")
endforeach()

file(WRITE ${OUTPUT}.new
"// Generated from ${SCRIPT}: the resources compiled into this binary.\n"
"#include \"platform/linux/linked_resources.h\"\n\n"
"namespace pixelfold {\nnamespace {\n\n${arrays}\n"
"constexpr LinkedResource resources[] = {\n${rows}};\n\n}  // namespace\n\n"
"std::span<const LinkedResource> LinkedResources() noexcept {\n    return resources;\n}\n\n"
"}  // namespace pixelfold\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
