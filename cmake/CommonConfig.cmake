# One place for the settings every target shares: language standard, warnings,
# Qt's safety macros and, on request, the sanitizers.
add_library(model_common INTERFACE)
target_compile_features(model_common INTERFACE cxx_std_23)
target_compile_options(model_common INTERFACE -Wall -Wextra)
# Includes are written from the top of the tree ("sim/RunSession.h"), so that
# each names the layer it reaches into.
target_include_directories(model_common INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_definitions(model_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_USE_QSTRINGBUILDER
  QT_NO_FOREACH
)
if(MODEL_SANITIZE)
  target_compile_options(model_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(model_common INTERFACE -fsanitize=address,undefined)
endif()
if(MODEL_SANITIZE_THREAD)
  target_compile_options(model_common INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(model_common INTERFACE -fsanitize=thread)
endif()
if(MODEL_BUILD_FUZZERS)
  # Coverage for libFuzzer in every object; only the fuzz targets link its
  # main() (-fsanitize=fuzzer there).
  target_compile_options(model_common INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all -g)
  # libstdc++ 12 offers std::expected only to compilers that report C++20
  # concepts in full. Clang 16 implements what <expected> needs but still
  # reports the earlier level, so it is told the level it has.
  target_compile_options(model_common INTERFACE -Wno-builtin-macro-redefined -Wno-macro-redefined -D__cpp_concepts=202002L)
  target_link_options(model_common INTERFACE -fsanitize=address,undefined)
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()
