# Empty dependencies file for marulla_ui.
# This may be replaced when dependencies are built.
