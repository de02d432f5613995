# Warnings and sanitizers shared by every target of the project.
if(MSVC)
  add_compile_options(/W4)  # the simulator's own compiler, for the module alone (ZOLK_HOST_SDK)
else()
  add_compile_options(-Wall -Wextra)
  # Nothing reads errno after a math function: without this every sqrt is a
  # library call guarding errno for negative arguments instead of the one
  # instruction, on the host's and the module's per-step paths too.
  add_compile_options(-fno-math-errno)
  # The inline trigonometry works on vectors of four doubles that never cross
  # a call which is not inlined: the compiler's note that passing them without AVX
  # changes the ABI does not apply.
  add_compile_options(-Wno-psabi)
endif()

if(ZOLK_FUZZ)
  # Coverage feedback for every library the fuzz targets reach; the targets
  # themselves add libFuzzer's main.
  set(ZOLK_SANITIZE ON)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(ZOLK_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(ZOLK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# Module code exports only what it marks for export.
function(zolk_hide_symbols target)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()
