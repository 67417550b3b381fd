# Empty compiler generated dependencies file for test_formats.
# This may be replaced when dependencies are built.
