# What only Windows has: attributes, names and paths that Windows treats apart, files held
# open by another program.
kwl_test_program(kwl_windows_tests LIBRARIES kwl_test_kwllist kwl_scan kwl_output kwl_lang
    SOURCES windows/WindowsCasesTest.cpp)
