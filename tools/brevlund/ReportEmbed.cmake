# Turns a text file into a C++ source that holds it as a char array, so that a
# program carries the file inside it. Run at build time:
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=Symbol [-DSCRIPT=ON] -P ReportEmbed.cmake
# SCRIPT: the text goes inline into an HTML <script> element, where "</script"
# or "<!--" would end or derail the element, so such a file is refused.
if(SCRIPT)
  file(READ "${INPUT}" Text)
  string(TOLOWER "${Text}" Lower)
  foreach(Bad "</script" "<!--")
    string(FIND "${Lower}" "${Bad}" At)
    if(NOT At EQUAL -1)
      message(FATAL_ERROR "${INPUT} holds \"${Bad}\" and cannot be inlined into a page")
    endif()
  endforeach()
endif()
file(READ "${INPUT}" Hex HEX)
string(LENGTH "${Hex}" HexLength)
math(EXPR Size "${HexLength} / 2")
# 32 bytes to a line keeps the generated file readable by tools.
string(REPEAT "[0-9a-f]" 64 Line)
string(REGEX REPLACE "(${Line})" "\\1\n" Hex "${Hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," Bytes "${Hex}")
file(WRITE "${OUTPUT}.new"
  "// Generated from ${INPUT} by ReportEmbed.cmake; do not edit.\n"
  "#include <cstddef>\n"
  "extern const char ${NAME}[] = {\n${Bytes}'\\0'};\n"
  "extern const std::size_t ${NAME}Size = ${Size};\n")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
