# Empty custom commands generated dependencies file for marulla_ui_autogen.
# This may be replaced when dependencies are built.
