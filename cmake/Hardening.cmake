# The protections Debian compiles and links its own programs with (what
# dpkg-buildflags gives with DEB_BUILD_MAINT_OPTIONS=hardening=+all), set here
# for every target, so that a build gets them whether or not dpkg-buildflags
# is on the machine. The programs read whatever is typed or piped into them
# and talk to an X server; a stack overflow or a bad format string should end
# the run, not hand it over.
#
# The flags go in FRONT of CMAKE_CXX_FLAGS and CMAKE_EXE_LINKER_FLAGS, which
# hold what the user passes (-DCMAKE_CXX_FLAGS=..., or CXXFLAGS and LDFLAGS in
# the environment at the first configure). The compiler and the linker take the
# last of two contradicting flags, so the user's still win: -fno-stack-protector
# or -Wl,-z,lazy turns a protection off again. Flags added with
# add_compile_options would come after the user's and override them.
#
# Include this after MAZE_SANITIZE is defined: sanitizer builds leave fortified
# functions out (see below).

include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CMakePushCheckState)

set(hardening_compile_flags)
set(hardening_link_flags)

# Each flag is checked, so a compiler or a target that lacks one builds without
# it instead of failing: stack clash protection came with GCC 8, and control-flow
# protection is -fcf-protection on x86 and -mbranch-protection=standard on arm64,
# each refused on the other. Each is checked beside those accepted before it:
# -Werror=format-security alone is an error without -Wformat.
cmake_push_check_state(RESET)
foreach(flag
    -fstack-protector-strong
    -fstack-clash-protection
    -fcf-protection
    -mbranch-protection=standard
    -Wformat
    -Werror=format-security
    -fPIE)
  string(MAKE_C_IDENTIFIER "MAZE_COMPILER_HAS${flag}" supported)
  check_cxx_compiler_flag(${flag} ${supported})
  if(${supported})
    list(APPEND hardening_compile_flags ${flag})
    string(APPEND CMAKE_REQUIRED_FLAGS " ${flag}")
  endif()
endforeach()
cmake_pop_check_state()

# Read-only relocations, resolved all at start-up (-z now) so that the table
# of function addresses can be made read-only too; and a position-independent
# executable, so that address space randomisation moves the program's own code.
foreach(flag -pie -Wl,-z,relro -Wl,-z,now)
  string(MAKE_C_IDENTIFIER "MAZE_LINKER_HAS${flag}" supported)
  check_linker_flag(CXX ${flag} ${supported})
  if(${supported})
    list(APPEND hardening_link_flags ${flag})
  endif()
endforeach()

list(JOIN hardening_compile_flags " " hardening_compile_flags)
list(JOIN hardening_link_flags " " hardening_link_flags)
string(STRIP "${hardening_compile_flags} ${CMAKE_CXX_FLAGS}" CMAKE_CXX_FLAGS)
string(STRIP "${hardening_link_flags} ${CMAKE_EXE_LINKER_FLAGS}" CMAKE_EXE_LINKER_FLAGS)

# Fortified libc functions (printf, memcpy and the like checked against the
# size of their buffers) work only when the compiler optimises, and glibc warns
# about every file compiled with -O0, so Debug builds go without. Sanitizer
# builds go without too: AddressSanitizer and ThreadSanitizer intercept the
# plain functions, and the fortified ones would slip past their checks.
# Definitions come before CMAKE_CXX_FLAGS on the command line, so a user's
# -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3 there still wins.
if(NOT MAZE_SANITIZE)
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
