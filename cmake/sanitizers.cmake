# ASan + UBSan for the whole build (preset "asan"); libFuzzer targets (preset "fuzz", clang).
if(LATTIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(LATTIX_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "LATTIX_FUZZ needs clang (use the fuzz preset)")
endif()
