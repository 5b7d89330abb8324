# Writes a C++ source holding one file's bytes as an entry of the library's resource table.
# Usage: cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DNAME=<name> -DTYPE=<n> -DLANGUAGE=<n> -P embedresource.cmake
foreach(var INPUT OUTPUT NAME TYPE LANGUAGE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embedresource: ${var} is not set")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line keeps the generated file readable.
# (CMake's regular expressions have no counted repetition.)
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 sixteen)
string(REGEX REPLACE "(${sixteen})" "\\1\n    " bytes "${bytes}")

file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT} at build time; do not edit.
#include \"resourcetable.h\"

namespace {
const unsigned char resourceData[] = {
    ${bytes}0x00
};
} // namespace

const Resource resourceTable[] = {
    {\"${NAME}\", ${TYPE}, ${LANGUAGE}, resourceData, ${size}},
};
const std::size_t resourceCount = sizeof(resourceTable) / sizeof(resourceTable[0]);
")
# Only touch the output when it changed, so the library is not relinked for nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
