# Warnings and sanitizers for the project's own targets.
function(quillan_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # GCC 12's flow warnings misread the standard library's own string and
  # vector code once it is inlined at -O3 (std::string's operator+ gives
  # -Wrestrict, comparisons of byte vectors -Wstringop-overread); they stay
  # warnings there rather than stopping the Release build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-error=restrict -Wno-error=stringop-overread>)
  endif()
endfunction()

if(QUILLAN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing instruments every target for coverage; the fuzz programs add the
# libFuzzer driver themselves.
if(QUILLAN_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
  # Readers may skip checksums under it, so that mutated inputs get past them.
  add_compile_definitions(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
endif()
