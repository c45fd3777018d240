# Writes OUTPUT, a C++ source that holds each of FILES as a raw string literal named by the
# matching entry of NAMES (std::string_view constants declared in HEADER), so that the files
# stay files in the repository and the program needs nothing beside itself.
#
#   cmake -DOUTPUT=... -DHEADER=... -DNAMES=a,b -DFILES=x,y -P EmbedText.cmake
string(REPLACE "," ";" NAMES "${NAMES}")
string(REPLACE "," ";" FILES "${FILES}")
list(LENGTH NAMES nCount)
math(EXPR nLast "${nCount} - 1")
set(text "// Made by cmake/EmbedText.cmake from the files named below; edit those instead.\n")
string(APPEND text "#include \"${HEADER}\"\n")
foreach(i RANGE ${nLast})
    list(GET NAMES ${i} name)
    list(GET FILES ${i} file)
    file(READ "${file}" content)
    string(FIND "${content}" ")kwl\"" nClash)
    if(NOT nClash EQUAL -1)
        message(FATAL_ERROR "${file} holds the raw string's end marker )kwl\"")
    endif()
    cmake_path(GET file FILENAME shortName)
    string(APPEND text "\n// ${shortName}\nconst std::string_view ${name} = R\"kwl(${content})kwl\";\n")
endforeach()
file(WRITE "${OUTPUT}.new" "${text}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
