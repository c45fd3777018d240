# Every target of ours links kwl_warnings; code from elsewhere (toolkit and test framework
# headers) is included as system headers and does not fail the build.
option(KWL_WERROR "Treat compiler warnings as errors" OFF)
add_library(kwl_warnings INTERFACE)
target_compile_options(kwl_warnings INTERFACE -Wall -Wextra -Wpedantic
                       $<$<BOOL:${KWL_WERROR}>:-Werror>)
