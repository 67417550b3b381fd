# Empty compiler generated dependencies file for marulla.
# This may be replaced when dependencies are built.
