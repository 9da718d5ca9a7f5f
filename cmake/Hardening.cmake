# The protections Debian's dpkg-buildflags gives a package built with
# hardening=+all, for the release build and the package alike: fortified libc
# calls, strong stack protector, stack clash protection, control-flow
# protection, a position-independent executable, and a read-only relocation
# table bound at start-up (-z relro -z now). The downloader reads answers from
# the network, so it should carry every one of them.
#
# A build with sanitizers in its flags (scripts/fuzz.sh, scripts/monkey.sh)
# keeps its own: the sanitizers check more than fortification does, and the
# two get in each other's way. ORBELLINE_HARDENING=OFF turns it off by hand.
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckPIESupported)

option(ORBELLINE_HARDENING "Build with the compiler's and linker's protections" ON)
if(ORBELLINE_FUZZ OR "${CMAKE_C_FLAGS} ${CMAKE_CXX_FLAGS}" MATCHES "-fsanitize")
  set(ORBELLINE_HARDENING OFF)
endif()

if(ORBELLINE_HARDENING)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  check_pie_supported(LANGUAGES C CXX)

  # Level 3 also checks sizes known only at run time; it needs the compiler's
  # __builtin_dynamic_object_size (glibc below 2.34 reads it as 2).
  check_cxx_source_compiles("int main() { char b[4]; return __builtin_dynamic_object_size(b, 0) == 4 ? 0 : 1; }"
                            ORBELLINE_HAVE_DYNAMIC_OBJECT_SIZE)
  if(ORBELLINE_HAVE_DYNAMIC_OBJECT_SIZE)
    set(fortify 3)
  else()
    set(fortify 2)
  endif()
  # Fortification needs the optimiser; without it glibc warns and does nothing.
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=${fortify}>")
  add_compile_options(-Wformat -Werror=format-security)

  foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "ORBELLINE_HAVE${flag}" have)
    check_cxx_compiler_flag(${flag} ${have})
    if(${have})
      add_compile_options(${flag})
    endif()
  endforeach()
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
