# Warnings and sanitizers for the project's own targets.
function(quillan_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
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
