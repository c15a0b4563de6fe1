# Writes a C++ source that defines a file's bytes as an array NAME and its
# length as NAMELength, both declared in HEADER.
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DNAME=<symbol> -DHEADER=<include> -P EmbedBytes.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "${INPUT} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${source}; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "const BYTE ${NAME}[] = {\n${bytes}};\n"
  "const DWORD ${NAME}Length = sizeof ${NAME};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
