# The Dorrik skin engine for CMake projects:
#
#   find_package(DorrikSkin CONFIG REQUIRED)
#   target_link_libraries(yourapp PRIVATE DorrikSkin::dll)      # dorrikskin.dll, through its import library
#   target_link_libraries(yourapp PRIVATE DorrikSkin::static)   # the engine linked in (MinGW-w64 GCC only)
#
# x86 or x64 follows the project that asks (its pointer size). DorrikSkin::headers is the header
# alone, for a program that loads the DLL itself. Copy $<TARGET_FILE:DorrikSkin::dll> beside a
# program that links DorrikSkin::dll.
get_filename_component(_dorrik_skin_root "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_dorrik_skin_arch x64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(_dorrik_skin_arch x86)
else()
  set(DorrikSkin_FOUND FALSE)
  set(DorrikSkin_NOT_FOUND_MESSAGE "enable C or C++ in project() before find_package(DorrikSkin): the architecture comes from the compiler")
  return()
endif()
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(DorrikSkin_FOUND FALSE)
  set(DorrikSkin_NOT_FOUND_MESSAGE "DorrikSkin is for Windows programs (CMAKE_SYSTEM_NAME is ${CMAKE_SYSTEM_NAME})")
  return()
endif()

set(_dorrik_skin_lib "${_dorrik_skin_root}/lib/${_dorrik_skin_arch}")
if(NOT TARGET DorrikSkin::headers)
  add_library(DorrikSkin::headers INTERFACE IMPORTED)
  set_target_properties(DorrikSkin::headers PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${_dorrik_skin_root}/include")

  # MinGW-w64 links the GNU import library; MSVC, clang-cl and clang for the MSVC target the
  # import library in Microsoft's format.
  if(MINGW)
    set(_dorrik_skin_implib "${_dorrik_skin_lib}/libdorrikskin.dll.a")
  else()
    set(_dorrik_skin_implib "${_dorrik_skin_lib}/dorrikskin.lib")
  endif()
  add_library(DorrikSkin::dll SHARED IMPORTED)
  set_target_properties(DorrikSkin::dll PROPERTIES
    IMPORTED_LOCATION "${_dorrik_skin_root}/bin/${_dorrik_skin_arch}/dorrikskin.dll"
    IMPORTED_IMPLIB "${_dorrik_skin_implib}"
    INTERFACE_LINK_LIBRARIES DorrikSkin::headers)

  # Built by MinGW-w64's GCC (posix threads, C++20): other compilers cannot link it.
  if(MINGW)
    add_library(DorrikSkin::static STATIC IMPORTED)
    set_target_properties(DorrikSkin::static PROPERTIES
      IMPORTED_LOCATION "${_dorrik_skin_lib}/libdorrik_skin.a"
      IMPORTED_LINK_INTERFACE_LANGUAGES CXX
      INTERFACE_LINK_LIBRARIES "DorrikSkin::headers;user32;gdi32;msimg32;comctl32;kernel32")
  endif()
endif()
unset(_dorrik_skin_implib)
unset(_dorrik_skin_lib)
unset(_dorrik_skin_arch)
unset(_dorrik_skin_root)
