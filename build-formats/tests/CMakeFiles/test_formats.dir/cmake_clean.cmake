file(REMOVE_RECURSE
  "../bin/test_formats"
  "../bin/test_formats.pdb"
  "CMakeFiles/test_formats.dir/formats/fields_test.cpp.o"
  "CMakeFiles/test_formats.dir/formats/fields_test.cpp.o.d"
  "CMakeFiles/test_formats.dir/formats/numtext_test.cpp.o"
  "CMakeFiles/test_formats.dir/formats/numtext_test.cpp.o.d"
  "test_formats[1]_tests.cmake"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_formats.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
