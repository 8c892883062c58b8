# Makes dorrikskin.dll's import libraries from its .def: libdorrikskin.dll.a for MinGW-w64 (GNU
# dlltool) and dorrikskin.lib in the short import format of Microsoft's linker (llvm-dlltool).
# Each export is listed under the name the compiler gives it (looked up in the static library:
# stdcall decorates AttachSkin as _AttachSkin@4 on x86) and imports the DLL's plain name.
#
#   cmake -DDEF= -DSTATIC_LIBRARY= -DNM= -DGNU_DLLTOOL= -DGNU_MACHINE= -DLLVM_DLLTOOL=
#         -DLLVM_MACHINE= -DOUT= -P import_libraries.cmake
file(STRINGS ${DEF} lines)
set(exports)
set(in_exports OFF)
foreach(line IN LISTS lines)
  string(REGEX REPLACE ";.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  elseif(line STREQUAL "EXPORTS")
    set(in_exports ON)
  elseif(in_exports)
    list(APPEND exports ${line})
  endif()
endforeach()
if(NOT exports)
  message(FATAL_ERROR "${DEF} names no exports")
endif()

execute_process(COMMAND ${NM} -g --defined-only ${STATIC_LIBRARY}
                OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
set(decorated_def "LIBRARY dorrikskin.dll\nEXPORTS\n")
foreach(name IN LISTS exports)
  if(symbols MATCHES " T _${name}(@[0-9]+)\n")
    string(APPEND decorated_def "    ${name}${CMAKE_MATCH_1}\n")   # x86 stdcall
  elseif(symbols MATCHES " T ${name}\n")
    string(APPEND decorated_def "    ${name}\n")                   # x64: one convention
  else()
    message(FATAL_ERROR "${STATIC_LIBRARY} defines no function ${name} named in ${DEF}")
  endif()
endforeach()

file(MAKE_DIRECTORY ${OUT})
file(WRITE ${OUT}/dorrikskin-decorated.def "${decorated_def}")
# --kill-at: the import names lose the decoration, as the DLL exports them.
execute_process(COMMAND ${GNU_DLLTOOL} --machine ${GNU_MACHINE} --kill-at --dllname dorrikskin.dll
                        --input-def ${OUT}/dorrikskin-decorated.def
                        --output-lib ${OUT}/libdorrikskin.dll.a
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${LLVM_DLLTOOL} -m ${LLVM_MACHINE} -k -D dorrikskin.dll
                        -d ${OUT}/dorrikskin-decorated.def -l ${OUT}/dorrikskin.lib
                COMMAND_ERROR_IS_FATAL ANY)
