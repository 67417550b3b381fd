file(REMOVE_RECURSE
  "CMakeFiles/marulla_scenario_autogen"
  "marulla_scenario_autogen/mocs_compilation.cpp"
)

# Per-language clean rules from dependency scanning.
foreach(lang )
  include(CMakeFiles/marulla_scenario_autogen.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
