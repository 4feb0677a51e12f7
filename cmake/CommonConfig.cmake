# One interface target carries the language level, warnings and sanitizer flags for every
# target of the project.
add_library(kx_common INTERFACE)
target_compile_features(kx_common INTERFACE cxx_std_20)
target_compile_options(kx_common INTERFACE -Wall -Wextra)
target_compile_definitions(kx_common INTERFACE QT_NO_KEYWORDS)

if(KX_SANITIZE)
  set(kx_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(kx_common INTERFACE ${kx_sanitize_flags})
  target_link_options(kx_common INTERFACE ${kx_sanitize_flags})
endif()

if(KX_FUZZ)
  # Coverage for the fuzzer in every library the targets link.
  target_compile_options(kx_common INTERFACE -fsanitize=fuzzer-no-link)
endif()
